// A POS program that is slow to finish its job file, for the end-to-end run under Wine:
// copies SOURCE into TARGET and keeps TARGET open for writing until the file RELEASE
// appears, then closes it.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: hold_for_writing SOURCE TARGET RELEASE\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string job{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // Shared for reading and writing, as a runtime library's own open would be: only the
    // driver's readiness test may keep the job back.
    HANDLE file = CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_for_writing: cannot open %s\n", argv[2]);
        return 1;
    }
    DWORD written = 0;
    WriteFile(file, job.data(), static_cast<DWORD>(job.size()), &written, nullptr);
    std::puts("holding");
    std::fflush(stdout);
    while (GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES) {
        Sleep(50);
    }
    CloseHandle(file);
    return written == job.size() ? 0 : 1;
}
