#include "apps/cli_log_line.h"

#include <vector>

#include "core/common/message_box.h"
#include "core/common/text.h"
#include "core/common/texts.h"
#include "core/link/transport_texts.h"

namespace merovan::cli {
namespace {

constexpr std::size_t kKindWidth = 8;
// The exchange's caption for a command refused or not answered at all.
constexpr std::string_view kErrorCaption = "Σφάλμα !!!";
constexpr std::string_view kNoAnswer = "δεν Απαντά";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The pieces of a text between its line breaks; a CR LF is one break, empty pieces go.
std::vector<std::string_view> pieces(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        if (end > start) {
            out.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

}  // namespace

Priority messagePriority(int buttons) {
    constexpr int kIconMask = 0x70;
    return (buttons & kIconMask) == common::buttons::kCritical ? Priority::Error
                                                               : Priority::Warning;
}

Priority statePriority(std::string_view text) {
    if (text.starts_with(kErrorCaption)) {
        return contains(text, kNoAnswer) ? Priority::Warning : Priority::Error;
    }
    if (text == common::texts::kCaptionOffline || text == common::texts::kStatusOffline ||
        text.starts_with(link::texts::kPortFailed) ||
        text.starts_with(link::texts::kPortSetUpFailed)) {
        return Priority::Warning;
    }
    return Priority::Info;
}

Priority logLinePriority(std::string_view text) {
    if (text.starts_with("Err = ")) {
        return text.substr(6).starts_with('-') ? Priority::Warning : Priority::Error;
    }
    if (text.starts_with(common::texts::kErrorPrefix) ||
        text.starts_with("Το αρχείο αποτελεσμάτων δεν γράφεται")) {
        return Priority::Error;
    }
    return text.starts_with("Τερματισμός") ? Priority::Info : Priority::Warning;
}

std::string formatLogEntry(std::string_view stamp, std::string_view kind, std::string_view text,
                           Priority priority, bool journal) {
    std::string column(kind);
    column.resize(std::max(column.size(), kKindWidth), ' ');
    const auto lines = pieces(text);
    if (!journal) {
        std::string joined;
        for (const std::string_view line : lines) {
            joined += (joined.empty() ? "" : " | ") + std::string(line);
        }
        return std::string(stamp) + " " + column + " " + joined + "\n";
    }
    std::string prefix = "<";
    prefix += std::to_string(static_cast<int>(priority));
    prefix += '>';
    std::string out;
    for (std::size_t n = 0; n < std::max<std::size_t>(lines.size(), 1); ++n) {
        out += prefix;
        out += n == 0 ? column : std::string(column.size(), ' ');
        out += ' ';
        out += n < lines.size() ? lines[n] : std::string_view();
        out += '\n';
    }
    return out;
}

}  // namespace merovan::cli
