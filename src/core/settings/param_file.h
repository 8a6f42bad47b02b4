#pragma once

#include <string>
#include <string_view>

#include "core/common/date_time.h"
#include "core/common/result.h"
#include "core/settings/param_settings.h"

namespace merovan::settings {

// The start-up read fills every field and the auto-start flag; the re-read on every polling
// tick keeps [port] untrimmed up to 20 characters as the link address alone, keeps [baud] (up
// to 6 characters) apart, and skips auto-start.
enum class ParamReadMode { Startup, Polling };

// Parses the bytes of a param.ini (code page 1253). Lines may end in CR LF, CR or LF; any byte
// sequence is accepted, lines that match no key are ignored.
ParamSettings parseParamText(std::string_view bytes, ParamReadMode mode = ParamReadMode::Startup);

// Reads and parses the file. A missing or unreadable file is reported (which file and why,
// ready for a message box), never guessed at; the caller decides how the program ends.
common::Result<ParamSettings> readParamFile(const std::string& path,
                                            ParamReadMode mode = ParamReadMode::Startup);

// How a receipt is paid: as the job says, always in the main, always in the secondary currency.
enum class CurrencyChoice { AsJob = 0, Main = 1, Secondary = 2 };

// What the settings dialog shows, as UTF-8 text; the writer converts to code page 1253.
struct ParamDialogValues {
    std::string port;
    std::string baud;
    // The baud field is hidden while the port field holds an IP address.
    bool baudHidden = false;
    std::string file;
    // The register-family list's text as shown ("VeskoTan", "Tar48").
    std::string registerFamily;
    bool multiType = false;
    bool printDesc = false;
    // The dialog lets at most one of its two boxes be ticked.
    PrintCodeChoice printCode = PrintCodeChoice::None;
    bool comments = false;
    CurrencyChoice currency = CurrencyChoice::AsJob;
    bool keybOff = false;
    bool dirDepa = false;
    bool quantity = false;
    bool autoStart = false;
    std::string location;

    bool operator==(const ParamDialogValues&) const = default;
};

// Sets the dialog's values from the settings read, as the dialog shows a file: port and baud
// from the link address, a box ticked only for "true" (a print-code box for its own code). A
// register family, a currency or the auto-start flag that the dialog cannot show leaves its
// value as it was, so that a reset followed by a load keeps the reset value there.
void loadDialogValues(const ParamSettings& settings, ParamDialogValues& values);

// The whole file as written by the dialog: 33 or 34 CR LF lines of code page 1253 bytes.
std::string formatParamFile(const ParamDialogValues& values, const common::DateTime& today);

// Replaces the file with formatParamFile's output. The new content goes to a side file first
// and is renamed over the old one, so a failed save never leaves a half-written param.ini.
common::Result<void> writeParamFile(const std::string& path, const ParamDialogValues& values,
                                    const common::DateTime& today);

}  // namespace merovan::settings
