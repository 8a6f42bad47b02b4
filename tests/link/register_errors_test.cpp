#include <gtest/gtest.h>

#include "core/link/register_errors.h"

namespace merovan::link {
namespace {

// Every error number shows its own text; any other reply is shown as it came. A number part
// that is no number from 1 to 32767 is shown as the register sent it.
TEST(StatusCodesTest, ErrorRepliesShowTheirNumberAndText) {
    struct Case {
        std::string reply;  // code page 1253
        std::string number;
        std::string text;
    };
    std::vector<Case> cases = {
        {"DE999", "999", "DE999"},
        {"DE17 tail", "17", "DE17 tail"},
        {"DE07", "7", "DE07"},  // compared as text, read as a number
        {"DEDE5 x", "5", "Δεν επιτρέπετε η Αλλαγή!"},
        {"DE32767", "32767", "DE32767"},
        {"DE1\xC1", "1Α", "DE1Α"},
        {"DEXY", "XY", "DEXY"},
        {"DE", "", "DE"},
        {"DE0", "0", "DE0"},
        {"DE-5", "-5", "DE-5"},
        {"DE+5", "+5", "DE+5"},
        {"DE32768", "32768", "DE32768"},
    };
    const std::pair<int, const char*> texts[] = {
        {1, "Επαλήθευση Χειριστή ! (90 Μερ.Σύνολο)"},
        {2, "Τέλος Χαρτιού !"},
        {3, "Υποχρεωτικό Μερ. Σύνολο !"},
        {4, "Υπέρβαση Ορίου Εισαγωγής !"},
        {5, "Δεν επιτρέπετε η Αλλαγή!"},
        {6, "Λάθος Χειρισμός !"},
        {7, "Πρόβλημα στην Φορολογική Μνήμη !\rΚαλέστε τεχνικό !"},
        {8, "Πρόβλημα στην μνήμη Ram !\rΚαλέστε τεχνικό !"},
        {9, "Πρόβλημα στόν Εκτυπωτή !\rΚαλέστε τεχνικό !"},
        {10, "Πρόβλημα στην μνήμη Rom !\rΚαλέστε τεχνικό !"},
        {12, "Χαμηλή τάση Μπαταρίας !"},
        {14, "Πρόβλημα στην οθόνη !\rΚαλέστε τεχνικό !"},
        {20, "Τέλος Φορολογικής Μνήμης !"},
        {21, "Λανθασμένη Ημερομηνία / Ώρα!"},
        {23, "Λάθος Ημερομηνία / Ώρα !\rΠατήστε 'Διαγραφή' !"},
        {40, "Πρόβλημα στην μνήμη Ram κατα την Συναλλαγή!"},
        {59, "Χρειάζεται κωδικός Χειριστή !"},
        {84, "Λάθος Κωδικός Bar-Code !"},
        {50, "Παράσιτα στην γραμμή Επικοινωνίας !"},
        {51, "Parity Λάθος (Επικοινωνία) !"},
        {52, "Λάθος Έκπτωση / Επιβάρυνση !"},
        {53, "Framing Error (Λάθος Επικοινωνία) !"},
        {54, "Πρόβλημα στην Επικοινωνία με τον Η/Υ !"},
        {57, "Λανθασμένη Λειτουργία  !"},
        {69, "Λάθος στοιχεία απο τον Η/Υ !"},
        {1038, "Ανοικτή Απόδειξη, Υποχρεωτική Εξόφληση!"},
        {1091, "Υπέρβαση Ορίου τιμής!"},
        {1014, "Απαγόρευση Μετρητών!"},
        {1031, "Υποχρεωτική έκδοση Ζ (Πέρασαν 24 Ώρες)!"},
        {1064, "Τέλος Χαρτιού!"},
        {1005, "Λάθος Ποσότητα!"},
        {1011, "Λάθος Αξία!"},
        {1044, "Υπέρβαση Έκπτωσης!"},
    };
    for (const auto& [number, text] : texts) {
        const std::string n = std::to_string(number);
        EXPECT_EQ(registerErrorText(n), text);
        cases.push_back({"DE" + n, n, text});
    }
    for (const Case& c : cases) {
        const RegisterErrorMessage message = describeRegisterError(c.reply);
        EXPECT_EQ(message.number, c.number) << c.reply;
        EXPECT_EQ(message.text, c.text) << c.reply;
    }
}

}  // namespace
}  // namespace merovan::link
