#pragma once

#include <string>
#include <string_view>

// Small text helpers over single-byte strings. Job and parameter files are read by 1-based
// columns; these helpers never read past the end of a short line.
namespace merovan::common {

// Characters start..start+length-1 (1-based), shorter or empty when the text is shorter.
std::string mid(std::string_view text, std::size_t start,
                std::size_t length = std::string_view::npos);
std::string left(std::string_view text, std::size_t length);
std::string right(std::string_view text, std::size_t length);

// Removes blanks (spaces only, as the driver's files use them) at either end.
std::string trim(std::string_view text);
std::string trimLeft(std::string_view text);
std::string trimRight(std::string_view text);

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
std::string removeAll(std::string_view text, char character);

bool startsWith(std::string_view text, std::string_view prefix);
bool endsWith(std::string_view text, std::string_view suffix);

// ASCII-only case mapping, for keys and tags; Greek text uses the code page 1253 mappings.
std::string asciiUpper(std::string_view text);
std::string asciiLower(std::string_view text);

}  // namespace merovan::common
