#include "core/settings/param_file.h"

#include <array>
#include <cstdint>

#include "core/common/regular_file.h"
#include "core/common/text.h"

namespace merovan::settings {
namespace {

using common::mid;

// Keys read the same way in both modes: the value from a fixed column, cut to a width, and
// parsed into its field. [port], [baud] and auto-start have rules of their own and are handled
// before these. Keys nobody acts on ([code], [time], [convert2], [Defacto_]) are not kept.
struct KeyRule {
    std::string_view key;
    std::size_t column;
    std::size_t width;
    void (*store)(ParamSettings& settings, std::string value);
};

constexpr std::array<KeyRule, 11> kKeyRules{{
    {"[file]", 8, 30, [](ParamSettings& s, std::string v) { s.file = std::move(v); }},
    {"[ecrt]", 8, 5,
     [](ParamSettings& s, std::string v) {
         s.receipt.registerFamily = registerFamilyOf(v);
         s.registerFamilyText = std::move(v);
     }},
    {"[multi type]", 14, 4, [](ParamSettings& s, std::string v) { s.jobFiles = jobFilesOf(v); }},
    {"[print_desc]", 14, 4,
     [](ParamSettings& s, std::string v) { s.receipt.printDescription = flagOf(v); }},
    {"[print_code]", 14, 6,
     [](ParamSettings& s, std::string v) { s.receipt.printCode = printCodeOf(v); }},
    {"[comments]", 12, 4,
     [](ParamSettings& s, std::string v) { s.receipt.comments = commentsOf(v); }},
    {"[currency]", 12, 1,
     [](ParamSettings& s, std::string v) { s.receipt.currency = currencyOf(v); }},
    {"[keyb_off]", 12, 4,
     [](ParamSettings& s, std::string v) { s.receipt.keyboardLocked = flagOf(v) == Flag::On; }},
    {"[dir_depa]", 12, 4,
     [](ParamSettings& s, std::string v) { s.receipt.directDepartment = flagOf(v) == Flag::On; }},
    {"[quantity]", 12, 4,
     [](ParamSettings& s, std::string v) { s.receipt.printQuantity = flagOf(v) == Flag::On; }},
    {"[location]", 12, 99, [](ParamSettings& s, std::string v) { s.location = std::move(v); }},
}};

void applyLine(std::string_view line, ParamReadMode mode, ParamSettings& settings) {
    const bool polling = mode == ParamReadMode::Polling;
    if (line.starts_with("[port]")) {
        settings.port = polling ? mid(line, 8, 20) : common::trim(mid(line, 8, 15));
        settings.linkAddress = settings.port;
        return;
    }
    if (line.starts_with("[baud]")) {
        // "9600 " would be a speed no port takes: blanks around the number are not part of it.
        settings.baud = common::trim(mid(line, 8, polling ? 6 : 5));
        if (!polling) {
            // Built from the port in force rather than appended to the address, so that a
            // second [baud] line replaces the first instead of chaining "com1:9600:4800".
            settings.linkAddress = settings.port + ":" + settings.baud;
        }
        return;
    }
    for (const KeyRule& rule : kKeyRules) {
        if (line.starts_with(rule.key)) {
            rule.store(settings, mid(line, rule.column, rule.width));
            return;
        }
    }
    // Only this key is matched in any case, and nothing ever clears the flag.
    if (!polling && common::asciiUpper(common::left(line, 14)) == "[AUTOSTAR]=YES") {
        settings.autoStart = true;
    }
}

// A parameter file is a few hundred bytes; the keys that matter never lie beyond this.
constexpr std::uint64_t kMaxParamBytes = 64 * 1024;

}  // namespace

ParamSettings parseParamText(std::string_view bytes, ParamReadMode mode) {
    ParamSettings settings;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            applyLine(bytes.substr(start), mode, settings);
            break;
        }
        applyLine(bytes.substr(start, end - start), mode, settings);
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') {
            ++start;
        }
    }
    return settings;
}

common::Result<ParamSettings> readParamFile(const std::string& path, ParamReadMode mode) {
    // Anyone who may write the working directory may put a FIFO or a huge file here: it must
    // neither hang the poll tick nor fill the memory.
    common::FileError error;
    const auto file = common::readRegularFile(path, kMaxParamBytes, &error);
    if (!file) {
        return common::Error{
            (error.missing ? "Δεν βρέθηκε το αρχείο " : "Δεν διαβάζεται το αρχείο ") + error.text};
    }
    return parseParamText(file->bytes, mode);
}

}  // namespace merovan::settings
