#include <gtest/gtest.h>

#include "core/link/register_errors.h"
#include "support/recording_operator.h"

namespace merovan::link {
namespace {

std::string messageText(const std::string& text) {
    return common::formatMessageBox("Λάθος : " + text, 16, "").text;
}

// Every error number shows its own text; any other reply is shown as it came and gives only
// an error status. Status 0 means success, so a number part that is no status from 1 to 32767
// leaves it alone.
TEST(StatusCodesTest, ErrorRepliesShowTheirTextAndSetTheStatus) {
    struct Case {
        std::string reply;  // code page 1253
        std::int16_t status;
        std::string number;
        std::string text;
    };
    std::vector<Case> cases = {
        {"DE999", 999, "999", "DE999"},
        {"DE17 tail", 17, "17", "DE17 tail"},
        {"DE07", 7, "7", "DE07"},  // compared as text, read as a number
        {"DEDE5 x", 5, "5", "Δεν επιτρέπετε η Αλλαγή!"},
        {"DE32767", 32767, "32767", "DE32767"},
        {"DE1\xC1", -4, "1Α", "DE1Α"},
        {"DEXY", -4, "XY", "DEXY"},
        {"DE", -4, "", "DE"},
        {"DE0", -4, "0", "DE0"},
        {"DE-5", -4, "-5", "DE-5"},
        {"DE+5", -4, "+5", "DE+5"},
        {"DE32768", -4, "32768", "DE32768"},
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
        cases.push_back({"DE" + n, static_cast<std::int16_t>(number), n, text});
    }
    for (const Case& c : cases) {
        testing::RecordingOperator op;
        std::int16_t status = -4;
        reportRegisterError(c.reply, true, op, status);  // quiet: nothing shown, status kept
        EXPECT_EQ(status, -4);
        EXPECT_TRUE(op.captions().empty() && op.messages().empty());

        reportRegisterError(c.reply, false, op, status);
        EXPECT_EQ(status, c.status) << c.reply;
        EXPECT_EQ(op.caption(), "Σφάλμα !!!" + c.text);
        ASSERT_EQ(op.messages().size(), 1u);
        EXPECT_EQ(op.messages()[0].text, messageText(c.number + "\r" + c.text));
        EXPECT_EQ(op.messages()[0].buttons, 16 + 4096);
        EXPECT_EQ(op.messages()[0].title, "Merovan4_KVT");
    }
}

}  // namespace
}  // namespace merovan::link
