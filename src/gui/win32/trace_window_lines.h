#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace merovan::gui::win32 {

// The lines the trace window draws, in UTF-16 as they are drawn. Every trace line comes after
// a line break, so the window starts with one empty line; beyond the limit the oldest line
// gives way, so that a busy day neither fills the memory nor slows the window down.
class TraceWindowLines {
  public:
    explicit TraceWindowLines(std::size_t limit) : limit_(limit) {}

    // True when the oldest line gave way to this one.
    bool append(std::wstring line) {
        lines_.push_back(std::move(line));
        if (lines_.size() <= limit_) {
            return false;
        }
        lines_.pop_front();
        return true;
    }
    void clear() { lines_.assign(1, std::wstring()); }
    std::size_t size() const { return lines_.size(); }
    const std::wstring& at(std::size_t index) const { return lines_.at(index); }

  private:
    std::size_t limit_;
    std::deque<std::wstring> lines_{std::wstring()};
};

}  // namespace merovan::gui::win32
