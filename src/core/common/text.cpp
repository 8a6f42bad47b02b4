#include "core/common/text.h"

#include <algorithm>

namespace merovan::common {

std::string mid(std::string_view text, std::size_t start, std::size_t length) {
    if (start == 0 || start > text.size()) {
        return {};
    }
    return std::string(text.substr(start - 1, length));
}

std::string left(std::string_view text, std::size_t length) {
    return std::string(text.substr(0, std::min(length, text.size())));
}

std::string right(std::string_view text, std::size_t length) {
    return length >= text.size() ? std::string(text)
                                 : std::string(text.substr(text.size() - length));
}

std::string trimLeft(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string trimRight(std::string_view text) {
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

std::string trim(std::string_view text) {
    return trimRight(trimLeft(text));
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (auto hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, pos)) {
        out.append(text.substr(pos, hit - pos)).append(to);
        pos = hit + from.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string removeAll(std::string_view text, char character) {
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), character), out.end());
    return out;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.starts_with(prefix);
}

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.ends_with(suffix);
}

std::string asciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string asciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace merovan::common
