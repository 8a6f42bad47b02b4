#include <gtest/gtest.h>

#include "apps/cli_log_line.h"
#include "core/common/message_box.h"

namespace merovan::cli {
namespace {

TEST(CliLogLine, PrioritiesFollowWhatWentWrong) {
    using namespace common::buttons;
    EXPECT_EQ(messagePriority(kCritical | kSystemModal), Priority::Error);
    EXPECT_EQ(messagePriority(kExclamation | kSystemModal), Priority::Warning);
    EXPECT_EQ(messagePriority(kInformation | kSystemModal), Priority::Warning);

    const std::pair<const char*, Priority> states[] = {
        {"Σφάλμα !!!Λάθος Ποσότητα!", Priority::Error},
        {"Σφάλμα !!!Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !", Priority::Warning},
        {"Φορολογικός Εκτυπωτής Off-Line, Εκτυπώσεις Ανενεργές !", Priority::Warning},
        {"Merovan- Λάθος!", Priority::Warning},
        {"Πρόβλημα στην Θύρα :/dev/ttyUSB0:9600", Priority::Warning},
        {"Merovan- Αναμονή", Priority::Info}};
    for (const auto& [state, priority] : states) {
        EXPECT_EQ(statePriority(state), priority) << state;
    }
    const std::pair<const char*, Priority> logLines[] = {
        {"Err = 1005, [KXCL] DateTime = 05/12/2026 09:41:07", Priority::Error},
        {"Err = -4, [KXCL] DateTime = 05/12/2026 09:41:07", Priority::Warning},
        {"Λάθος : /pos/print.1: Αρχείο εργασίας με μηδενικά bytes", Priority::Error},
        {"Η εργασία διακόπηκε και δεν ξανατυπώνεται: print.1", Priority::Warning},
        {"Τερματισμός Merovan", Priority::Info}};
    for (const auto& [line, priority] : logLines) {
        EXPECT_EQ(logLinePriority(line), priority) << line;
    }
}

// One message is one entry: a CR, an LF or a CR LF inside it never starts a line of its own
// that a reader could take for another message or that overwrites the time stamp.
TEST(CliLogLine, LineBreaksInsideAMessage) {
    const std::string text = "Λάθος : 7\rΠρόβλημα\r\nΚαλέστε τεχνικό !\n";
    const std::string when = "05/12/2026 09:41:07";
    EXPECT_EQ(formatLogEntry(when, "message", text, Priority::Error, false),
              when + " message  Λάθος : 7 | Πρόβλημα | Καλέστε τεχνικό !\n");
    EXPECT_EQ(formatLogEntry(when, "message", text, Priority::Error, true),
              "<3>message  Λάθος : 7\n"
              "<3>         Πρόβλημα\n"
              "<3>         Καλέστε τεχνικό !\n");
    EXPECT_EQ(formatLogEntry(when, "settings", "com1 9600", Priority::Info, true),
              "<6>settings com1 9600\n");
    EXPECT_EQ(formatLogEntry(when, "log", "", Priority::Warning, false), when + " log      \n");
}

}  // namespace
}  // namespace merovan::cli
