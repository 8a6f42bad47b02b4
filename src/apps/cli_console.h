#pragma once

namespace merovan::cli {

// Makes the console show the program's UTF-8 lines as they are.
void prepareConsole();

}  // namespace merovan::cli
