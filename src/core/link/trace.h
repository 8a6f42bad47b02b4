#pragma once

#include <string>
#include <string_view>

namespace merovan::link {

// Makes control characters visible in the trace: every byte below 32 becomes "ASC(n) ", so
// "OK" CR EOT reads "OKASC(13) ASC(4) ".
std::string renderForTrace(std::string_view text);

}  // namespace merovan::link
