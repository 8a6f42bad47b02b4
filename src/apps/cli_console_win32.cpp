#include <windows.h>

#include "apps/cli_console.h"

namespace merovan::cli {

// A Greek console shows code page 737 by default; the log lines are UTF-8.
void prepareConsole() {
    SetConsoleOutputCP(CP_UTF8);
}

}  // namespace merovan::cli
