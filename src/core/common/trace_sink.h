#pragma once

#include <string>

namespace merovan::common {

// Where the lines of the register trace go. The link needs nothing more to show its traffic.
class TraceSink {
  public:
    virtual ~TraceSink() = default;
    // One line of the register trace.
    virtual void trace(const std::string& line) = 0;
};

}  // namespace merovan::common
