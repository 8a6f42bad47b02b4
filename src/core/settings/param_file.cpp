#include "core/settings/param_file.h"

#include <array>
#include <cstdint>

#include "core/common/regular_file.h"
#include "core/common/text.h"

namespace merovan::settings {
namespace {

using common::mid;

// Keys read the same way in both modes: the value from a fixed column, cut to a width.
// [port], [baud] and auto-start have rules of their own and are handled before these.
struct KeyRule {
    std::string_view key;
    std::size_t column;
    std::size_t width;
    std::string ParamSettings::*field;
};

constexpr std::array<KeyRule, 15> kKeyRules{{
    {"[file]", 8, 30, &ParamSettings::file},
    {"[code]", 8, 3, &ParamSettings::code},
    {"[ecrt]", 8, 5, &ParamSettings::ecrt},
    {"[multi type]", 14, 4, &ParamSettings::multiType},
    {"[time]", 8, 5, &ParamSettings::time},
    {"[print_desc]", 14, 4, &ParamSettings::printDesc},
    {"[print_code]", 14, 6, &ParamSettings::printCode},
    {"[comments]", 12, 4, &ParamSettings::comments},
    {"[currency]", 12, 1, &ParamSettings::currency},
    {"[convert2]", 12, 12, &ParamSettings::convert2},
    {"[keyb_off]", 12, 4, &ParamSettings::keybOff},
    {"[dir_depa]", 12, 4, &ParamSettings::dirDepa},
    {"[quantity]", 12, 4, &ParamSettings::quantity},
    {"[Defacto_]", 12, 2, &ParamSettings::defacto},
    {"[location]", 12, 99, &ParamSettings::location},
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
            if (!(polling && rule.field == &ParamSettings::convert2)) {
                settings.*rule.field = mid(line, rule.column, rule.width);
            }
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

ParamReadResult readParamFile(const std::string& path, ParamReadMode mode) {
    ParamReadResult result;
    // Anyone who may write the working directory may put a FIFO or a huge file here: it must
    // neither hang the poll tick nor fill the memory.
    common::FileError error;
    const auto file = common::readRegularFile(path, kMaxParamBytes, &error);
    if (!file) {
        result.error =
            (error.missing ? "Δεν βρέθηκε το αρχείο " : "Δεν διαβάζεται το αρχείο ") + error.text;
        return result;
    }
    result.settings = parseParamText(file->bytes, mode);
    result.ok = true;
    return result;
}

}  // namespace merovan::settings
