#pragma once

#include <string_view>

// The transports' failure texts, the same words on every platform (UTF-8; the transports
// hand them on as code page 1253 in exResult).
namespace merovan::link::texts {

inline constexpr std::string_view kPortFailed = "Πρόβλημα στην Θύρα :";
inline constexpr std::string_view kPortSetUpFailed = "Πρόβλημα στο Set-Up τής Θύρας :";
inline constexpr std::string_view kSendFailed =
    "Λάθος κατά την αποστολή δεδομένων στην θύρα (Ethernet)";
inline constexpr std::string_view kReadinessFailed =
    "Λάθος κατά την προσπέλαση της θύρας (Ethernet)";
inline constexpr std::string_view kReceiveFailed =
    "Λάθος κατά την ανάγνωση στοιχείων απο την θύρα (Ethernet)";

}  // namespace merovan::link::texts
