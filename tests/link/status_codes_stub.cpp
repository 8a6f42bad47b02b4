// Stand-in until the status table lands: shows nothing.
#include "core/link/status_codes.h"

namespace merovan::link {

void ReportRegisterError(std::string_view, bool, driver::Operator&, std::int16_t&) {}

}  // namespace merovan::link
