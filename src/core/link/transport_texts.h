#pragma once

#include <string>
#include <string_view>

// The transports' failure texts, the same words on every platform (UTF-8; the transports
// hand the first ones on as code page 1253 in exResult, the reasons go to the log).
namespace merovan::link::texts {

inline constexpr std::string_view kPortFailed = "Πρόβλημα στην Θύρα :";
inline constexpr std::string_view kPortSetUpFailed = "Πρόβλημα στο Set-Up τής Θύρας :";
inline constexpr std::string_view kSendFailed =
    "Λάθος κατά την αποστολή δεδομένων στην θύρα (Ethernet)";
inline constexpr std::string_view kReadinessFailed =
    "Λάθος κατά την προσπέλαση της θύρας (Ethernet)";
inline constexpr std::string_view kReceiveFailed =
    "Λάθος κατά την ανάγνωση στοιχείων απο την θύρα (Ethernet)";

inline constexpr std::string_view kHangUp = "η άλλη άκρη έκλεισε (hang-up)";
inline constexpr std::string_view kClosed = "έχει κλείσει";

// Why a port or socket failed; device and address are UTF-8, os is the system's own words.
inline std::string portOpenFailed(std::string_view device, std::string_view os) {
    return "η θύρα " + std::string(device) + " δεν ανοίγει: " + std::string(os);
}
inline std::string portHeldElsewhere(std::string_view device) {
    return "η θύρα " + std::string(device) + " χρησιμοποιείται από άλλο πρόγραμμα";
}
inline std::string portSpeedRefused(std::string_view device, std::string_view baud) {
    return "η θύρα " + std::string(device) +
           (baud.empty()
                ? std::string(" δεν ρυθμίζεται: δεν δόθηκε ταχύτητα (baud)")
                : " δεν ρυθμίζεται: ταχύτητα «" + std::string(baud) + "» που η θύρα δεν δέχεται");
}
inline std::string portSetUpFailed(std::string_view device, std::string_view os) {
    return "η θύρα " + std::string(device) + " δεν ρυθμίζεται: " + std::string(os);
}
inline std::string portLost(std::string_view device, std::string_view os) {
    return "η θύρα " + std::string(device) + " χάθηκε: " + std::string(os);
}
inline std::string portWriteFailed(std::string_view device, std::string_view os) {
    return "η εγγραφή στη θύρα " + std::string(device) + " απέτυχε: " + std::string(os);
}
inline std::string udpSocketFailed(std::string_view os) {
    return "δεν δημιουργείται υποδοχή UDP: " + std::string(os);
}
inline std::string udpBindFailed(std::string_view address, std::string_view os) {
    return "η τοπική θύρα UDP " + std::string(address) + " δεν δεσμεύεται: " + std::string(os);
}
inline std::string udpAddressInvalid(std::string_view host, std::string_view port) {
    return "μη έγκυρη διεύθυνση Φορολογικού Εκτυπωτή: «" + std::string(host) + ":" +
           std::string(port) + "»";
}
inline std::string udpConnectFailed(std::string_view address, std::string_view os) {
    return "δεν ορίζεται ο Φορολογικός Εκτυπωτής " + std::string(address) + ": " + std::string(os);
}
inline std::string udpSocketLost(std::string_view address, std::string_view os) {
    return "η σύνδεση UDP με " + std::string(address) + " χάθηκε: " + std::string(os);
}
inline std::string udpNoListener(std::string_view address, std::string_view os) {
    return "κανείς δεν ακούει στη διεύθυνση " + std::string(address) + ": " + std::string(os);
}

}  // namespace merovan::link::texts
