#pragma once

#include <string>
#include <string_view>

// The link's failure texts, the same words on every platform (UTF-8). The first three are
// replies an exchange hands back on failure; the reasons go to the log.
namespace merovan::link::texts {

inline constexpr std::string_view kPortFailed = "Πρόβλημα στην Θύρα :";
inline constexpr std::string_view kPortSetUpFailed = "Πρόβλημα στο Set-Up τής Θύρας :";
// The reply of an exchange the register did not answer, and why it counts as down then.
inline constexpr std::string_view kNoAnswer = "Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !";

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
