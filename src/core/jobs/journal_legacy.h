#pragma once

#include <optional>
#include <string_view>

#include "core/jobs/journal_line.h"

namespace merovan::jobs {

// Whether the line is one of the journal as the driver's earlier versions wrote it
// ("D size mtime hash path"): not damage, and rewritten in today's form.
bool isLegacyLine(std::string_view text);

// Such a line taken over when the job it names is still there, unchanged: without it, an
// update would print again every job a POS leaves in place. None when the job is gone or
// changed, or for any other line.
std::optional<JournalLine> adoptLegacyLine(std::string_view text);

}  // namespace merovan::jobs
