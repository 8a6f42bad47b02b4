#include <gtest/gtest.h>

#include "core/common/codepage.h"
#include "core/link/status_codes.h"
#include "support/recording_operator.h"

namespace merovan::link {
namespace {

struct Row {
    int number;
    const char* text;
};

TEST(StatusCodesTest, EveryErrorNumberShowsItsTextAndSetsTheStatus) {
    const Row rows[] = {
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
    for (const Row& row : rows) {
        const std::string number = std::to_string(row.number);
        testing::RecordingOperator op;
        std::int16_t status = 0;
        ReportRegisterError("DE" + number, false, op, status);
        EXPECT_EQ(status, row.number);
        EXPECT_EQ(op.caption(), std::string("Σφάλμα !!!") + row.text);
        ASSERT_EQ(op.messages().size(), 1u) << number;
        const auto expected =
            common::formatMessageBox("Λάθος : " + number + "\r" + row.text, 16, "");
        EXPECT_EQ(op.messages()[0].text, expected.text) << number;
        EXPECT_EQ(op.messages()[0].buttons, 16 + 4096);
        EXPECT_EQ(op.messages()[0].title, "Merovan4_KVT");
    }
}

TEST(StatusCodesTest, NumbersAreComparedAsText) {
    EXPECT_EQ(RegisterErrorText("2"), "Τέλος Χαρτιού !");
    EXPECT_EQ(RegisterErrorText("1064"), "Τέλος Χαρτιού!");
    EXPECT_FALSE(RegisterErrorText("07"));
    EXPECT_FALSE(RegisterErrorText(" 7"));
    EXPECT_FALSE(RegisterErrorText("17"));
    EXPECT_FALSE(RegisterErrorText(""));
}

TEST(StatusCodesTest, MessageIsPaddedAsTheDriversMessageBox) {
    testing::RecordingOperator op;
    std::int16_t status = 0;
    ReportRegisterError("DE1005", false, op, status);
    EXPECT_EQ(op.caption(), "Σφάλμα !!!Λάθος Ποσότητα!");
    ASSERT_EQ(op.messages().size(), 1u);
    EXPECT_EQ(op.messages()[0].text, std::string(12, ' ') + "Λάθος : 1005\rΛάθος Ποσότητα!");
}

TEST(StatusCodesTest, UnknownNumbersShowTheWholeReply) {
    struct Case {
        const char* reply;  // code page 1253 bytes
        std::int16_t status;
        const char* caption;
        const char* message;
    };
    const Case cases[] = {
        {"DE999", 999, "Σφάλμα !!!DE999", "Λάθος : 999\rDE999"},
        {"DE17 tail", 17, "Σφάλμα !!!DE17 tail", "Λάθος : 17\rDE17 tail"},
        {"DE07", 7, "Σφάλμα !!!DE07", "Λάθος : 7\rDE07"},
        // Every "DE" of the first word goes, so the number is still found.
        {"DEDE5 x", 5, "Σφάλμα !!!Δεν επιτρέπετε η Αλλαγή!", "Λάθος : 5\rΔεν επιτρέπετε η Αλλαγή!"},
    };
    for (const Case& c : cases) {
        testing::RecordingOperator op;
        std::int16_t status = -4;
        ReportRegisterError(c.reply, false, op, status);
        EXPECT_EQ(status, c.status) << c.reply;
        EXPECT_EQ(op.caption(), c.caption);
        ASSERT_EQ(op.messages().size(), 1u);
        EXPECT_EQ(op.messages()[0].text, common::formatMessageBox(c.message, 16, "").text);
    }
}

TEST(StatusCodesTest, RepliesReachTheOperatorAsUtf8) {
    testing::RecordingOperator op;
    std::int16_t status = -4;
    ReportRegisterError("DE1\xC1", false, op, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(op.caption(), "Σφάλμα !!!DE1Α");
}

TEST(StatusCodesTest, ANumberPartThatIsNoStatusLeavesTheStatusAlone) {
    // Status 0 means success, so no error reply may produce it.
    for (const char* reply :
         {"DE", "DEXY", "DE0", "DE00", "DE-5", "DE+5", "DE32768", "DE99999999999"}) {
        testing::RecordingOperator op;
        std::int16_t status = -4;
        ReportRegisterError(reply, false, op, status);
        EXPECT_EQ(status, -4) << reply;
        EXPECT_EQ(op.caption(), std::string("Σφάλμα !!!") + reply);
        EXPECT_EQ(op.messages().size(), 1u);
    }
    testing::RecordingOperator op;
    std::int16_t status = 0;
    ReportRegisterError("DE32767", false, op, status);
    EXPECT_EQ(status, 32767);
}

TEST(StatusCodesTest, QuietShowsNothingAndKeepsTheStatus) {
    for (const char* reply : {"DE7", "DE999", "DEXY"}) {
        testing::RecordingOperator op;
        std::int16_t status = 7;
        ReportRegisterError(reply, true, op, status);
        EXPECT_EQ(status, 7);
        EXPECT_TRUE(op.captions().empty());
        EXPECT_TRUE(op.messages().empty());
    }
}

}  // namespace
}  // namespace merovan::link
