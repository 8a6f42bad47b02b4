#include "core/link/queries.h"
#include "core/link/register_test_sequence.h"
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;

class QueriesTest : public LinkTest {
  protected:
    // Each answer goes back with the register's CR EOT; "DE" answers are refusals.
    template <typename Result, typename Query>
    void Check(const std::string& command, const std::vector<std::pair<std::string, Result>>& cases,
               Query query) {
        for (const auto& [answer, expected] : cases) {
            SCOPED_TRACE(answer);
            Script({{command, {{0ms, answer + "\r\x04"}}}, {"KXCL", {{0ms, "OK\r\x04"}}}});
            const auto sentBefore = wire.sent().size();
            EXPECT_EQ(query(), expected);
            ASSERT_GT(wire.sent().size(), sentBefore);
            EXPECT_EQ(wire.sent()[sentBefore], command);
        }
    }
};

TEST_F(QueriesTest, OpenTable) {
    Check<std::int16_t>("KX?TO",
                        {{"TO: 12 ", 12},
                         {"TO:12.4", 12},
                         {"TO:0", -1},
                         {"TO", -1},
                         {"TO:x1", -1},
                         {"TO:32767", 32767},
                         {"TO:40000", -1},
                         {"DE6", -1}},
                        [&] { return link::QueryOpenTable(link); });
}

TEST_F(QueriesTest, ClosedReceipt) {
    const std::vector<std::pair<std::string, int>> cases = {{"OK:5:123\n", 123}, {"OK:5: 9 \n", 9},
                                                            {"OK:5", -1},        {"OK:5:0", -1},
                                                            {"OK:5:70000", -1},  {"", -1}};
    for (const auto& [reply, receipt] : cases) {
        EXPECT_EQ(link::ParseClosedReceipt(reply), receipt) << reply;
    }
}

TEST_F(QueriesTest, TableTotal) {
    Check<std::string>("KXREP7TBL",
                       {{"T:7: 12.50 \n", "12.50"},
                        {"T:7:0.00", "0.00"},
                        {"T:7:3,5", "3,5"},
                        {"T:7:99999999.5", "99999999.5"},
                        {"T:7:-1.00", "-1"},
                        {"T:7:1e3", "-1"},
                        {"T:7", "-1"},
                        {"DE1005", "-1"}},
                       [&] { return link::QueryTableTotal(link, 7); });
}

TEST_F(QueriesTest, TableList) {
    Check<std::string>("KXREPTBL",
                       {{"L: 1, 2 ;3\n", "1,2;3"}, {"L:  ", "-1"}, {"L", "-1"}, {"DE6", "-1"}},
                       [&] { return link::QueryTableList(link); });
}

TEST_F(QueriesTest, ReceiptCounters) {
    Check<std::string>("KXRE",
                       {{"R:123:45", "123, 45"},
                        {"R: 12 : 7\n", "12, 7"},
                        {"R:1234567:45", "12345, 45"},
                        {"R:   123456:45", "12, 45"},
                        {"R:123:0", "-1, -1"},
                        {"R:x:45", "-1, -1"},
                        {"R:12", "-1, -1"},
                        {"DE6", "-1, -1"}},
                       [&] { return link::QueryReceiptCounters(link); });
}

// A refused query is shown and logged like any command.
TEST_F(QueriesTest, RefusalIsLogged) {
    Script({{"KXRE", {{0ms, "DE6\r\x04"}}}, {"KXCL", {{0ms, "OK\r\x04"}}}});
    EXPECT_EQ(link::QueryReceiptCounters(link), "-1, -1");
    EXPECT_EQ(Result().rfind("Err = 6, [KXRE] DateTime = ", 0), 0u);
}

TEST_F(QueriesTest, TestButtonSequence) {
    link::RunRegisterTestSequence(link);
    const auto& sent = wire.sent();
    ASSERT_EQ(sent.size(), 27u);
    EXPECT_EQ(sent[4], "KX10TO");
    EXPECT_EQ(sent[5], "KX100R1AAA\r");
    EXPECT_EQ(sent[14], "KXTRF");
    EXPECT_EQ(sent[15], "KXPA100R1AAA");
    EXPECT_EQ(sent[16], "KXTRFOK");
    EXPECT_EQ(sent.back(), "KXTRFNO");
    EXPECT_NE(wire.wire().find("KX300R1Ffff\r\r\n"), std::string::npos);
}

}  // namespace
}  // namespace merovan::testing
