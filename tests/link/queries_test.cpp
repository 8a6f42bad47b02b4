#include "core/link/queries.h"
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;

class QueriesTest : public LinkTest {
  protected:
    // Each answer goes back with CR EOT; "DE" answers are refusals and give the failure value.
    template <typename Result, typename Query>
    void expectReplies(const std::string& command,
                       const std::vector<std::pair<std::string, Result>>& cases, Query query) {
        for (const auto& [answer, expected] : cases) {
            Script({{command, {{0ms, answer + "\r\x04"}}}, {"KXCL", {{0ms, "OK\r\x04"}}}});
            EXPECT_EQ(query(), expected) << answer;
            EXPECT_EQ(wire.sent().back(), answer.starts_with("DE") ? "KXCL" : command);
        }
    }
};

TEST_F(QueriesTest, TableNumbers) {
    expectReplies<std::int16_t>("KX?TO",
                                {{"TO: 12 ", 12},
                                 {"TO:12.4", 12},
                                 {"TO:0", -1},
                                 {"TO", -1},
                                 {"TO:x1", -1},
                                 {"TO:32767", 32767},
                                 {"TO:40000", -1},
                                 {"DE6", -1}},
                                [&] { return link::queryOpenTable(session); });
    const std::vector<std::pair<std::string, int>> receipts = {
        {"OK:5:123\n", 123}, {"OK:5: 9 \n", 9}, {"OK:5", -1}, {"OK:5:0", -1}, {"OK:5:70000", -1}};
    for (const auto& [kxtoReply, receipt] : receipts) {
        EXPECT_EQ(link::parseClosedReceipt(kxtoReply), receipt) << kxtoReply;
    }
}

TEST_F(QueriesTest, TableTotalAndList) {
    expectReplies<std::string>("KXREP7TBL",
                               {{"T:7: 12.50 \n", "12.50"},
                                {"T:7:0.00", "0.00"},
                                {"T:7:3,5", "3,5"},
                                {"T:7:99999999.5", "99999999.5"},
                                {"T:7:-1.00", "-1"},
                                {"T:7:1e3", "-1"},
                                {"T:7", "-1"},
                                {"DE1005", "-1"}},
                               [&] { return link::queryTableTotal(session, 7); });
    expectReplies<std::string>(
        "KXREPTBL", {{"L: 1, 2 ;3\n", "1,2;3"}, {"L:  ", "-1"}, {"L", "-1"}, {"DE6", "-1"}},
        [&] { return link::queryTableList(session); });
}

TEST_F(QueriesTest, ReceiptCounters) {
    expectReplies<std::string>("KXRE",
                               {{"R:123:45", "123, 45"},
                                {"R: 12 : 7\n", "12, 7"},
                                {"R:1234567:45", "12345, 45"},
                                {"R:   123456:45", "12, 45"},
                                {"R:123:0", "-1, -1"},
                                {"R:x:45", "-1, -1"},
                                {"R:12", "-1, -1"},
                                {"DE6", "-1, -1"}},
                               [&] { return link::queryReceiptCounters(session); });
}

}  // namespace
}  // namespace merovan::testing
