#include <gtest/gtest.h>

#include "apps/cli_log_line.h"
#include "core/common/message_box.h"

namespace merovan::cli {
namespace {

TEST(CliLogLine, PrioritiesFollowWhatWentWrong) {
    using common::buttons::kCritical;
    using common::buttons::kExclamation;
    using common::buttons::kInformation;
    using common::buttons::kSystemModal;
    EXPECT_EQ(messagePriority(kCritical | kSystemModal), Priority::Error);
    EXPECT_EQ(messagePriority(kExclamation | kSystemModal), Priority::Warning);
    EXPECT_EQ(messagePriority(kInformation | kSystemModal), Priority::Warning);

    EXPECT_EQ(statePriority("Σφάλμα !!!Λάθος Ποσότητα!"), Priority::Error);
    EXPECT_EQ(statePriority("Σφάλμα !!!Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !"),
              Priority::Warning);
    EXPECT_EQ(statePriority("Φορολογικός Εκτυπωτής Off-Line, Εκτυπώσεις Ανενεργές !"),
              Priority::Warning);
    EXPECT_EQ(statePriority("Merovan- Λάθος!"), Priority::Warning);
    EXPECT_EQ(statePriority("Πρόβλημα στην Θύρα :/dev/ttyUSB0:9600"), Priority::Warning);
    EXPECT_EQ(statePriority("Merovan- Αναμονή"), Priority::Info);

    EXPECT_EQ(logLinePriority("Err = 1005, [KXCL] DateTime = 05/12/2026 09:41:07"),
              Priority::Error);
    EXPECT_EQ(logLinePriority("Err = -4, [KXCL] DateTime = 05/12/2026 09:41:07"),
              Priority::Warning);
    EXPECT_EQ(logLinePriority("Λάθος : /pos/print.1: Αρχείο εργασίας με μηδενικά bytes"),
              Priority::Error);
    EXPECT_EQ(logLinePriority("Η εργασία διακόπηκε και δεν ξανατυπώνεται: print.1"),
              Priority::Warning);
    EXPECT_EQ(logLinePriority("Τερματισμός Merovan"), Priority::Info);
}

// One message is one entry: a CR, an LF or a CR LF inside it never starts a line of its own
// that a reader could take for another message or that overwrites the time stamp.
TEST(CliLogLine, LineBreaksInsideAMessage) {
    const std::string text = "Λάθος : 7\rΠρόβλημα\r\nΚαλέστε τεχνικό !\n";
    EXPECT_EQ(formatLogEntry("05/12/2026 09:41:07", "message", text, Priority::Error, false),
              "05/12/2026 09:41:07 message  Λάθος : 7 | Πρόβλημα | Καλέστε τεχνικό !\n");
    EXPECT_EQ(formatLogEntry("05/12/2026 09:41:07", "message", text, Priority::Error, true),
              "<3>message  Λάθος : 7\n"
              "<3>         Πρόβλημα\n"
              "<3>         Καλέστε τεχνικό !\n");
    EXPECT_EQ(formatLogEntry("05/12/2026 09:41:07", "settings", "com1 9600", Priority::Info, true),
              "<6>settings com1 9600\n");
    EXPECT_EQ(formatLogEntry("05/12/2026 09:41:07", "log", "", Priority::Warning, false),
              "05/12/2026 09:41:07 log      \n");
}

}  // namespace
}  // namespace merovan::cli
