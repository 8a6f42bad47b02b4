#include "core/link/register_errors.h"

#include <array>
#include <cstdint>
#include <utility>

#include "core/common/codepage.h"
#include "core/common/text.h"

namespace merovan::link {
namespace {

// In the order the register's numbers are tested; two-line texts are joined by one CR.
constexpr std::array<std::pair<std::string_view, std::string_view>, 33> kErrorTexts = {{
    {"1", "Επαλήθευση Χειριστή ! (90 Μερ.Σύνολο)"},
    {"2", "Τέλος Χαρτιού !"},
    {"3", "Υποχρεωτικό Μερ. Σύνολο !"},
    {"4", "Υπέρβαση Ορίου Εισαγωγής !"},
    {"5", "Δεν επιτρέπετε η Αλλαγή!"},
    {"6", "Λάθος Χειρισμός !"},
    {"7", "Πρόβλημα στην Φορολογική Μνήμη !\rΚαλέστε τεχνικό !"},
    {"8", "Πρόβλημα στην μνήμη Ram !\rΚαλέστε τεχνικό !"},
    {"9", "Πρόβλημα στόν Εκτυπωτή !\rΚαλέστε τεχνικό !"},
    {"10", "Πρόβλημα στην μνήμη Rom !\rΚαλέστε τεχνικό !"},
    {"12", "Χαμηλή τάση Μπαταρίας !"},
    {"14", "Πρόβλημα στην οθόνη !\rΚαλέστε τεχνικό !"},
    {"20", "Τέλος Φορολογικής Μνήμης !"},
    {"21", "Λανθασμένη Ημερομηνία / Ώρα!"},
    {"23", "Λάθος Ημερομηνία / Ώρα !\rΠατήστε 'Διαγραφή' !"},
    {"40", "Πρόβλημα στην μνήμη Ram κατα την Συναλλαγή!"},
    {"59", "Χρειάζεται κωδικός Χειριστή !"},
    {"84", "Λάθος Κωδικός Bar-Code !"},
    {"50", "Παράσιτα στην γραμμή Επικοινωνίας !"},
    {"51", "Parity Λάθος (Επικοινωνία) !"},
    {"52", "Λάθος Έκπτωση / Επιβάρυνση !"},
    {"53", "Framing Error (Λάθος Επικοινωνία) !"},
    {"54", "Πρόβλημα στην Επικοινωνία με τον Η/Υ !"},
    {"57", "Λανθασμένη Λειτουργία  !"},
    {"69", "Λάθος στοιχεία απο τον Η/Υ !"},
    {"1038", "Ανοικτή Απόδειξη, Υποχρεωτική Εξόφληση!"},
    {"1091", "Υπέρβαση Ορίου τιμής!"},
    {"1014", "Απαγόρευση Μετρητών!"},
    {"1031", "Υποχρεωτική έκδοση Ζ (Πέρασαν 24 Ώρες)!"},
    {"1064", "Τέλος Χαρτιού!"},
    {"1005", "Λάθος Ποσότητα!"},
    {"1011", "Λάθος Αξία!"},
    {"1044", "Υπέρβαση Έκπτωσης!"},
}};

constexpr std::string_view kErrorPrefix = "DE";

// The number part as a number the message can show: 1 to 32767.
std::optional<std::int16_t> statusOf(std::string_view numberText) {
    if (numberText.empty() || numberText.size() > 5) {
        return std::nullopt;
    }
    long value = 0;
    for (const char c : numberText) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 32767) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace

std::optional<std::string> registerErrorText(std::string_view numberText) {
    for (const auto& [number, text] : kErrorTexts) {
        if (number == numberText) {
            return std::string(text);
        }
    }
    return std::nullopt;
}

RegisterErrorMessage describeRegisterError(std::string_view reply) {
    const std::string_view word = reply.substr(0, reply.find(' '));
    std::string numberText;
    std::optional<std::string> text;
    if (word.starts_with(kErrorPrefix)) {
        numberText = common::replaceAll(word, kErrorPrefix, "");
        text = registerErrorText(numberText);
    }
    if (!text) {
        text = common::cp1253ToUtf8(reply);
    }
    // A number part that is not a status is shown as the register sent it.
    const std::optional<std::int16_t> status = statusOf(numberText);
    return {status ? std::to_string(*status) : common::cp1253ToUtf8(numberText), *text};
}

}  // namespace merovan::link
