#include "apps/cli_console.h"

namespace merovan::cli {

// Terminals here take UTF-8 already.
void prepareConsole() {}

}  // namespace merovan::cli
