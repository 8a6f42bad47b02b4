#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace merovan::desktop {

// The lines of the register trace while its window is open. A busy day must not fill the
// memory: the oldest lines give way.
class TraceBuffer {
  public:
    static constexpr std::size_t kMaxLines = 10000;

    void append(std::string line);
    void clear() { lines_.clear(); }
    const std::deque<std::string>& lines() const { return lines_; }
    // As the window shows it: every line after a line break.
    std::string text() const;

  private:
    std::deque<std::string> lines_;
};

}  // namespace merovan::desktop
