#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "apps/cli_service_command.h"

namespace merovan::cli {
namespace {

// How a Windows program gets its arguments back from the line the service manager runs.
std::vector<std::wstring> splitBack(const std::wstring& line) {
    int count = 0;
    wchar_t** words = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> split(words + 1, words + count);
    LocalFree(words);
    return split;
}

TEST(ServiceCommandLine, EveryWorkDirectoryComesBackAsOneArgument) {
    const std::vector<std::wstring> words{L"--workdir",
                                          L"C:\\merovan",
                                          L"C:\\e2e\\service dir",
                                          L"C:\\Program Files\\POS\\",
                                          L"",
                                          L"\\\\server\\share\\",
                                          L"a\"b",
                                          L"a\\\"b c\\\\",
                                          widened("C:\\Ταμείο 1")};
    EXPECT_EQ(splitBack(joinedCommandLine(std::vector<std::wstring>{L"merovan-cli.exe"}) + L" " +
                        joinedCommandLine(words)),
              words);
    // A plain path stays as it is, for whoever reads the service's settings.
    EXPECT_EQ(joinedCommandLine({L"C:\\merovan\\merovan-cli.exe", L"--service"}),
              L"C:\\merovan\\merovan-cli.exe --service");
    EXPECT_EQ(quotedArgument(L"C:\\My Dir\\"), L"\"C:\\My Dir\\\\\"");
}

}  // namespace
}  // namespace merovan::cli
