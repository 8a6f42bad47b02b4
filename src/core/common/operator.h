#pragma once

#include "core/common/prompts.h"
#include "core/common/status_display.h"
#include "core/common/trace_sink.h"

namespace merovan::common {

// Everything the operator is to the rest of the program: the desktop program draws it with
// widgets, the headless program writes log lines, tests record it. A part of the program
// takes the narrowest of the three it needs.
class Operator : public TraceSink, public StatusDisplay, public Prompts {};

}  // namespace merovan::common
