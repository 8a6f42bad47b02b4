#include "core/settings/command_line.h"

namespace merovan::settings {
namespace {

constexpr std::size_t kOptionCount = 7;

bool on(char option) {
    return option == '1';
}

PrintCodeChoice printCode(char option) {
    switch (option) {
        case '1':
            return PrintCodeChoice::AsNumber;
        case '2':
            return PrintCodeChoice::AsText;
        default:
            return PrintCodeChoice::None;
    }
}

}  // namespace

CommandLineFields parseCommandLine(std::string_view commandLine) {
    constexpr auto kNone = std::string_view::npos;
    CommandLineFields fields{"e", "e", "e", "e", "e", "e"};
    std::size_t start = 0;
    for (std::size_t i = 0; i < fields.size() && start != kNone; ++i) {
        const bool last = i + 1 == fields.size();
        const std::size_t separator = last ? kNone : commandLine.find_first_of(", ", start);
        if (const auto field = commandLine.substr(start, separator - start); !field.empty()) {
            fields[i] = std::string(field);
        }
        start = separator == kNone ? kNone : separator + 1;
    }
    return fields;
}

CommandLineSettings settingsFromCommandLine(const CommandLineFields& fields) {
    CommandLineSettings out;
    ParamSettings& s = out.settings;
    // Taken as given: the caller names the full address, nothing is appended.
    s.linkAddress = fields[0];
    s.baud = fields[1];
    s.file = fields[2];
    s.registerFamilyText = fields[4];
    s.receipt.registerFamily = registerFamilyOf(fields[4]);
    s.jobFiles = JobFiles::Single;

    const std::string& options = fields[5];
    if (options.size() < kOptionCount) {
        out.optionsTooShort = true;
        return out;
    }
    ReceiptSettings& r = s.receipt;
    r.printCode = printCode(options[0]);
    r.printDescription = on(options[1]) ? Flag::On : Flag::Off;
    r.comments = on(options[2]) ? Comments::On : Comments::Off;
    r.currency = currencyOf(options.substr(3, 1));
    r.keyboardLocked = on(options[4]);
    r.directDepartment = on(options[5]);
    r.printQuantity = on(options[6]);
    return out;
}

std::string commandLineLinkAddress(const ParamSettings& settings) {
    const bool number = !settings.baud.empty() &&
                        settings.baud.find_first_not_of("0123456789") == std::string::npos;
    if (settings.linkAddress.find(':') != std::string::npos || !number) {
        return settings.linkAddress;
    }
    return settings.linkAddress + ":" + settings.baud;
}

std::string farewellText() {
    // ╔═…═╗ / ║ Ευχαριστούμε που χρησιμοποιήσατε το Merovan ║ / ╚═…═╝, in the DOS Greek code
    // page the farewell has always been kept in.
    constexpr std::string_view kThanks =
        "\x84\xAC\xAE\x98\xA8\xA0\xA9\xAB\xA6\xE7\xA3\x9C \xA7\xA6\xAC "
        "\xAE\xA8\x9E\xA9\xA0\xA3\xA6\xA7\xA6\xA0\xE3\xA9\x98\xAB\x9C \xAB\xA6 Merovan";
    const std::string bar(kThanks.size() + 2, '\xCD');
    std::string text;
    text.append("\xC9").append(bar).append("\xBB\n");
    text.append("\xBA ").append(kThanks).append(" \xBA\n");
    text.append("\xC8").append(bar).append("\xBC");
    return text;
}

}  // namespace merovan::settings
