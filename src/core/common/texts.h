#pragma once

#include <string_view>

// The texts the main window shows for the states of the link and of printing.
namespace merovan::common::texts {

inline constexpr std::string_view kCaptionSearching = "Merovan- Αναζήτηση";
inline constexpr std::string_view kCaptionReady = "Merovan- Έτοιμο";
inline constexpr std::string_view kCaptionOffline = "Merovan- Λάθος!";
inline constexpr std::string_view kCaptionWaiting = "Merovan- Αναμονή";
inline constexpr std::string_view kCaptionWaitingAfterJob = "Merovan- Αναμονη";
inline constexpr std::string_view kCaptionStopped = "Merovan- Διακόπηκε";

inline constexpr std::string_view kStatusSearching = "Εύρεση Φορολογικής Ταμειακής !!! ";
inline constexpr std::string_view kStatusOnline =
    "Φορολογικός Εκτυπωτής ON-Line, Έτοιμος Για Εκτυπωσεις";
inline constexpr std::string_view kStatusOffline =
    "Φορολογικός Εκτυπωτής Off-Line, Εκτυπώσεις Ανενεργές !";
inline constexpr std::string_view kStatusWaiting = "Αναμονή Για Στοιχεία....";
inline constexpr std::string_view kStatusWaitingAfterJob = "Αναμονη Για Στοιχεια....";
inline constexpr std::string_view kStatusStopped =
    "Διακοπή Εκτυπώσεων. Πατήστε Έναρξη Εκτυπώσεων!!!";

inline constexpr std::string_view kErrorPrefix = "Λάθος : ";
inline constexpr std::string_view kJobWaitsForRegister =
    "Η εργασία περιμένει τον Φορολογικό Εκτυπωτή: ";
inline constexpr std::string_view kJobNotSent =
    "Η εργασία δεν στάλθηκε, το ημερολόγιο εργασιών δεν γράφεται· νέα προσπάθεια σε λίγο: ";
inline constexpr std::string_view kInterruptedJob = "Η εργασία διακόπηκε: ";
inline constexpr std::string_view kJobRefused = "Το αρχείο δεν διαβάζεται ως εργασία: ";
inline constexpr std::string_view kJobNotDeleted =
    "Η εργασία τυπώθηκε αλλά το αρχείο της δεν σβήνεται: ";

}  // namespace merovan::common::texts
