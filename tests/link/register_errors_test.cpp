#include <gtest/gtest.h>

#include "core/link/register_errors.h"

namespace merovan::link {
namespace {

// An error number with a text shows it (a sample of the table); any other reply is shown as it
// came. A number part that is no number from 1 to 32767 is shown as the register sent it.
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
        {5, "Δεν επιτρέπετε η Αλλαγή!"},
        {7, "Πρόβλημα στην Φορολογική Μνήμη !\rΚαλέστε τεχνικό !"},
        {84, "Λάθος Κωδικός Bar-Code !"},
        {1005, "Λάθος Ποσότητα!"},
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
