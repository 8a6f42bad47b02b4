#include <windows.h>

#include "apps/cli_console.h"

namespace merovan::cli {

// A Greek console shows code page 737 unless told otherwise; the shell that started the
// program gets its own code page back.
Utf8Console::Utf8Console() : previous_(GetConsoleOutputCP()) {
    SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
    if (previous_ != 0) {
        SetConsoleOutputCP(previous_);
    }
}

}  // namespace merovan::cli
