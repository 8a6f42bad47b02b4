#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace merovan::link {

// The register's text (UTF-8) for an error number written as the characters after "DE"
// (compared as text: "7" matches, "07" does not); no value when the table has no such row.
std::optional<std::string> registerErrorText(std::string_view numberText);

// What the operator is told of an error reply, both UTF-8.
struct RegisterErrorMessage {
    std::string number;  // the number as shown: 1 to 32767 in decimal, else as the register sent it
    std::string text;    // the table's text, or the reply itself for a number it lacks
};

// The message for an error reply (CR and EOT already removed, beginning with "DE").
RegisterErrorMessage describeRegisterError(std::string_view reply);

}  // namespace merovan::link
