#include "apps/cli_console.h"

namespace merovan::cli {

// Terminals here take UTF-8 already.
Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

}  // namespace merovan::cli
