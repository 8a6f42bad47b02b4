#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/common/codepage.h"
#include "core/common/text.h"
#include "core/settings/param_file.h"

namespace merovan::settings {
namespace {

// Dialog text as file bytes. Line breaks are dropped: pasted into a field they would
// otherwise start a line of their own and could forge another key.
std::string fileText(std::string_view utf8) {
    return common::removeAll(common::removeAll(common::utf8ToCp1253(utf8), '\r'), '\n');
}

std::string_view flag(bool on) {
    return on ? "true" : "false";
}

// The [ecrt] value for the register-family text, or empty when no line is written.
std::string_view ecrtValue(std::string_view registerFamily) {
    const std::string family = common::toLower1253(fileText(registerFamily));
    if (family == "veskotan") {
        return "vesko";
    }
    if (family == "tar48" || family == "tarvelon 48") {
        return "tar48";
    }
    if (family == "kor  fiscal printer") {
        return "KORFP";
    }
    return {};
}

// The link takes a serial port for "com" in lower case only, so "COM3" is saved as "com3";
// anything else (a device path, an address) is a name the system compares exactly.
std::string portValue(std::string_view utf8) {
    const std::string port = fileText(utf8);
    const std::string lower = common::toLower1253(port);
    const std::string number = lower.substr(0, lower.find(':'));
    const bool comName = number.size() > 3 && number.starts_with("com") &&
                         number.find_first_not_of("0123456789", 3) == std::string::npos;
    return comName ? lower : port;
}

std::string_view printCodeValue(PrintCodeChoice choice) {
    switch (choice) {
        case PrintCodeChoice::AsText:
            return "true A";
        case PrintCodeChoice::AsNumber:
            return "true N";
        case PrintCodeChoice::None:
            break;
    }
    return "falseN";
}

char currencyDigit(CurrencyChoice choice) {
    switch (choice) {
        case CurrencyChoice::Main:
            return '1';
        case CurrencyChoice::Secondary:
            return '2';
        case CurrencyChoice::AsJob:
            break;
    }
    return '0';
}

class Lines {
  public:
    template <typename... Parts>
    void add(const Parts&... parts) {
        (text_.append(parts), ...);
        text_.append("\r\n");
    }
    std::string take() { return std::move(text_); }

  private:
    std::string text_;
};

common::Error failure(const std::string& path, const std::string& reason) {
    return {"Δεν γράφτηκε το αρχείο " + path + " (" + reason + ")"};
}

int lastError() {
    return errno != 0 ? errno : EIO;
}

// Returns 0, or the error of the first step that failed.
int writeWhole(const std::string& path, std::string_view bytes) {
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return lastError();
    }
    int error = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fflush(file) != 0) {
        error = lastError();
    }
    if (std::fclose(file) != 0 && error == 0) {
        error = lastError();
    }
    return error;
}

}  // namespace

std::string formatParamFile(const ParamDialogValues& values, const common::DateTime& today) {
    const std::string port = portValue(values.port);
    // An IP address is saved with the register's UDP port when the user could not type one.
    const bool defaultTcpPort = values.baudHidden && port.find(':') == std::string::npos;
    const std::string baud = defaultTcpPort ? "5012" : fileText(values.baud);
    const std::string_view ecrt = ecrtValue(values.registerFamily);

    Lines out;
    out.add("# Set up for merovan program");
    out.add("Created by  Merovan on ", common::formatMonthDayYear(today));
    out.add("# Serial port setup. This can be Com1 or Com2,Com3,Com4 ");
    out.add("[port] ", port);
    out.add("# Baud rate setup. This usually is 9600. Valid baude rates are : 19200,9600");
    out.add("# 4800,2400,1200. It can go low as 120 but with not tested results.");
    out.add("[baud] ", baud);
    out.add("# The file that the main application is exchanging data with brantavex.");
    out.add("# Depending on the application this can be managed to process receipts in a row.");
    out.add("# Setup the application to generate  \\myapp\\print.1 and merovan will");
    out.add("# try to see if pending receipts are in files \\myapp\\print.2 ... print.10");
    out.add("# This has also to do with [multi type] on or off");
    out.add("[file] ", fileText(values.file));
    out.add();
    out.add("# yes or no Depending on type structure");
    out.add("[code] no");
    out.add("# Type of machine");
    if (!ecrt.empty()) {
        out.add("[ecrt] ", ecrt);
    }
    out.add("[multi type] ", flag(values.multiType));
    out.add("[time] 0");
    out.add("[subtotal] yes");
    out.add("[print_desc] ", flag(values.printDesc));
    out.add("[print_code] ", printCodeValue(values.printCode));
    out.add("[comments] ", flag(values.comments));
    out.add("[currency]=", std::string(1, currencyDigit(values.currency)));
    out.add(values.keybOff ? "[keyb_off]=true " : "[keyb_off]=false");
    out.add("[dir_depa]=", flag(values.dirDepa));
    out.add("[quantity]=", flag(values.quantity));
    out.add(values.autoStart ? "[AutoStar]=yes" : "[AutoStar]=no");
    out.add("################################");
    out.add("# Customer Specific Parameters #");
    out.add("################################");
    out.add("[location] ", fileText(values.location));
    out.add("# End of parameter file #");
    return out.take();
}

common::Result<void> writeParamFile(const std::string& path, const ParamDialogValues& values,
                                    const common::DateTime& today) {
    const std::string side = path + ".new";
    std::error_code ignored;
    if (const int error = writeWhole(side, formatParamFile(values, today)); error != 0) {
        std::filesystem::remove(side, ignored);
        return failure(path, std::generic_category().message(error));
    }
    std::error_code renamed;
    std::filesystem::rename(side, path, renamed);
    if (renamed) {
        std::filesystem::remove(side, ignored);
        return failure(path, renamed.message());
    }
    return {};
}

}  // namespace merovan::settings
