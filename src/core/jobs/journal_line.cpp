#include "core/jobs/journal_line.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace merovan::jobs {
namespace {

std::uint64_t fnv1a(std::string_view bytes, std::uint64_t basis, std::uint64_t prime) {
    std::uint64_t hash = basis;
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * prime;
    }
    return hash;
}

std::uint32_t lineCheck(std::string_view text) {
    return static_cast<std::uint32_t>(fnv1a(text, 0x811c9dc5U, 0x01000193U));
}

// Blanks, controls, '%' and '#' would break the fields apart; everything else (code page 1253
// letters included) stands as it is. An empty field is "-", a field that is "-" is escaped.
std::string escapeField(std::string_view field) {
    if (field.empty()) {
        return "-";
    }
    if (field == "-") {
        return "%2D";
    }
    std::string out;
    out.reserve(field.size());
    for (const char c : field) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7f || c == '%' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescapeField(std::string_view field) {
    if (field == "-") {
        return std::string();
    }
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= field.size()) {
            return std::nullopt;
        }
        const auto* first = field.data() + i + 1;
        const auto [end, error] = std::from_chars(first, first + 2, value, 16);
        if (error != std::errc() || end != first + 2) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

template <typename Number>
bool parseNumber(std::string_view text, Number& value, int base = 10) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> splitBlanks(std::string_view text) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto blank = text.find(' ', start);
        const auto end = blank == std::string_view::npos ? text.size() : blank;
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

}  // namespace

std::uint64_t hashJobBytes(std::string_view bytes) {
    return fnv1a(bytes, 0xcbf29ce484222325ULL, 0x100000001b3ULL);
}

std::string formatJournalLine(const JournalLine& line) {
    const auto& stamp = line.print.stamp;
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(line.print.contentHash));
    std::string text;
    text += static_cast<char>(line.mark);
    for (const auto number : {stamp.device, stamp.inode}) {
        text += ' ' + std::to_string(number);
    }
    for (const auto number : {stamp.changeTimeNs, stamp.writeTimeNs}) {
        text += ' ' + std::to_string(number);
    }
    text += ' ' + std::to_string(stamp.size);
    text += ' ';
    text += hash;
    text += ' ' + escapeField(line.jobPath);
    text += ' ' + escapeField(line.resultFile);
    char check[16];
    std::snprintf(check, sizeof check, " #%08x\n", lineCheck(text));
    return text + check;
}

std::optional<JournalLine> parseJournalLine(std::string_view text) {
    const auto hashAt = text.rfind(" #");
    std::uint32_t check = 0;
    if (hashAt == std::string_view::npos || text.size() - hashAt != 10 ||
        !parseNumber(text.substr(hashAt + 2), check, 16) ||
        check != lineCheck(text.substr(0, hashAt))) {
        return std::nullopt;
    }
    const auto fields = splitBlanks(text.substr(0, hashAt));
    if (fields.size() != 9 || fields[0].size() != 1) {
        return std::nullopt;
    }
    JournalLine line;
    switch (fields[0][0]) {
        case 'S':
            line.mark = JournalMark::Started;
            break;
        case 'C':
            line.mark = JournalMark::Closing;
            break;
        case 'D':
            line.mark = JournalMark::Done;
            break;
        default:
            return std::nullopt;
    }
    auto& stamp = line.print.stamp;
    if (!parseNumber(fields[1], stamp.device) || !parseNumber(fields[2], stamp.inode) ||
        !parseNumber(fields[3], stamp.changeTimeNs) || !parseNumber(fields[4], stamp.writeTimeNs) ||
        !parseNumber(fields[5], stamp.size) || fields[6].size() != 16 ||
        !parseNumber(fields[6], line.print.contentHash, 16)) {
        return std::nullopt;
    }
    auto jobPath = unescapeField(fields[7]);
    auto resultFile = unescapeField(fields[8]);
    if (!jobPath || jobPath->empty() || !resultFile) {
        return std::nullopt;
    }
    line.jobPath = std::move(*jobPath);
    line.resultFile = std::move(*resultFile);
    return line;
}

}  // namespace merovan::jobs
