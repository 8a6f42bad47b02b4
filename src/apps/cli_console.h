#pragma once

namespace merovan::cli {

// Lets the console show the program's UTF-8 lines as they are while the program runs, and
// gives it back as it was.
class Utf8Console {
  public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

  private:
    [[maybe_unused]] unsigned previous_ = 0;  // the code page to give back (Windows)
};

}  // namespace merovan::cli
