#pragma once

#include <string>
#include <string_view>

// Files and the wire carry code page 1253 (Greek ANSI) bytes, one byte per character; texts
// for a person are UTF-8. These are the only conversions between the two, done by table so
// that every platform gives the same result.
namespace merovan::common {

// Unicode character of a code page 1253 byte. Bytes the code page leaves undefined map to the
// code point of the same value, so every byte survives a round trip.
char32_t cp1253ToUnicode(unsigned char byte);
// Unicode character of a code page 737 (DOS Greek) byte.
char32_t cp737ToUnicode(unsigned char byte);

std::string cp1253ToUtf8(std::string_view bytes);
std::string cp737ToUtf8(std::string_view bytes);

// UTF-8 to code page 1253; a character the code page cannot hold becomes '?'. Malformed
// UTF-8 sequences are taken byte by byte as code page 1253.
std::string utf8ToCp1253(std::string_view utf8);

// Code page 1253 byte of a Unicode character, or no value.
bool unicodeToCp1253(char32_t character, unsigned char& byte);

// Case mapping of code page 1253 text as the Greek locale does it (final sigma upper-cases
// to capital sigma; accented letters keep their accent).
std::string toUpper1253(std::string_view bytes);
std::string toLower1253(std::string_view bytes);

// Number of characters (code points) in a UTF-8 text.
std::size_t utf8Length(std::string_view utf8);
void appendUtf8(std::string& out, char32_t character);

}  // namespace merovan::common
