#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The settings in force, parsed once from param.ini or the command line. Flags are read from
// four characters, so a written "false" reads "fals". Users have always acted on "true" and
// "fals" only, and not all alike on the rest: where a value that is neither ("TRUE", "yes",
// nothing) made a difference, it is kept as a value of its own and each user's rule is named
// beside it.
namespace merovan::settings {

// A true/false key as read.
enum class Flag : std::uint8_t {
    Other,  // neither "true" nor "fals", or no value
    On,     // "true"
    Off,    // "fals"
};

// [multi type]: how job files arrive.
enum class JobFiles : std::uint8_t {
    Unset,     // no value read: no job is looked for, and there are no settings to poll with
    Numbered,  // "true": print.1 to print.10 in turn, or the first match of a pattern
    Single,    // "fals": the one job file, again and again
    Other,     // any other text: no job is looked for, no watch and no [location] check
};

// [print_code]: how the item code is printed. Only "true N" and "true A" print it.
enum class PrintCodeChoice : std::uint8_t { None, AsNumber, AsText };

// [comments]: whether a job's comment-group lines (com, frt, can, voi, ltb, foo) are sent.
enum class Comments : std::uint8_t {
    Other,     // anything else: not sent, yet the main window says "yes"
    On,        // "true"
    Capitals,  // "TRUE": sent too, but the settings dialog shows its box clear
    Off,       // "fals"
};

// [currency]: how a receipt's payments are sent, one digit.
enum class Currency : std::uint8_t {
    Other,      // no digit of these: payments send nothing; the main window's label stays
    AsJob,      // "0": as each payment line says, card payments through payeft.dat
    Main,       // "1": always payment type 1
    Secondary,  // "2": always the second currency, the whole receipt at once
    Type3,      // "3": always payment type 3; no dialog writes it, payments honour it
};

// [ecrt]: the register family, where it changes how descriptions are sent.
enum class RegisterFamily : std::uint8_t {
    Other,  // "KORFP", or anything else
    Vesko,  // "vesko"
    Tar48,  // "tar48"
};

// How receipts are printed: all that a job is run with from the settings.
struct ReceiptSettings {
    RegisterFamily registerFamily = RegisterFamily::Other;
    // Other: the description is sent (only "fals" drops it) but the quantity never joins it;
    // the main window says it is not printed and the dialog shows its box clear.
    Flag printDescription = Flag::Other;
    PrintCodeChoice printCode = PrintCodeChoice::None;
    Comments comments = Comments::Other;
    Currency currency = Currency::Other;
    bool keyboardLocked = false;    // [keyb_off] "true": the locked-keyboard sale form
    bool directDepartment = false;  // [dir_depa] "true": the department field is the category
    bool printQuantity = false;     // [quantity] "true": the quantity joins the description
};

struct ParamSettings {
    // [port] and [baud] as read, code page 1253 text.
    std::string port;
    std::string baud;
    // Where the link opens: port, ":" and baud (com1:9600, 192.168.1.50:5012).
    std::string linkAddress;
    std::string file;      // [file]: the job file's name, or a pattern with "*"
    std::string location;  // [location]: the exchange directory, empty for the working one
    JobFiles jobFiles = JobFiles::Unset;
    // [ecrt] as read, as the main window shows it.
    std::string registerFamilyText;
    ReceiptSettings receipt;
    // "[AUTOSTAR]=YES" in any case.
    bool autoStart = false;
};

// The value rules shared by param.ini and the command line.
Flag flagOf(std::string_view value);
JobFiles jobFilesOf(std::string_view value);
PrintCodeChoice printCodeOf(std::string_view value);
Comments commentsOf(std::string_view value);
Currency currencyOf(std::string_view value);
RegisterFamily registerFamilyOf(std::string_view value);

}  // namespace merovan::settings
