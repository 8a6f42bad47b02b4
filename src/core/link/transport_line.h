#pragma once

#include <string>

namespace merovan::link {

// A command as it goes on the wire: CR LF is added when the text is longer than 2 characters
// and does not already end with it. One- and two-character texts go out bare.
inline std::string withLineTerminator(const std::string& text) {
    if (text.size() > 2 && !text.ends_with("\r\n")) {
        return text + "\r\n";
    }
    return text;
}

}  // namespace merovan::link
