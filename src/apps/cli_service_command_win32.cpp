#include <windows.h>

#include "apps/cli_service_command.h"

namespace merovan::cli {

std::wstring widened(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

// Backslashes are literal except before a quote: those before a quote, and those before the
// closing quote, are doubled.
std::wstring quotedArgument(std::wstring_view word) {
    if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(word);
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : word) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring joinedCommandLine(const std::vector<std::wstring>& words) {
    std::wstring line;
    for (const auto& word : words) {
        line += (line.empty() ? L"" : L" ") + quotedArgument(word);
    }
    return line;
}

}  // namespace merovan::cli
