#include <gtest/gtest.h>

#include "tools/register/scenario.h"

namespace merovan::sim {
namespace {

TEST(RegisterState, KeepsTablesReceiptsAndCounters) {
    // clang-format off
    const std::pair<std::string, std::string> steps[] = {
        {"KXCL", "OK"}, {"KX?TO", "OK:0"},
        {"KXT1", "DE6"}, {"KXTO", "DE6"},  // nothing to pay, no table to close
        {"KX12TO", "OK"}, {"KX1000R1SOUP", "OK"}, {"KX2.000* ", "OK"}, {"KX125R2BREAD", "OK"},
        {"KX7TO", "DE6"},  // another table is open
        {"KX?TO", "OK:12"}, {"KXREP12TBL", "OK:12:12.50"}, {"KXTO", "OK:12:1"},
        {"KX?TO", "OK:0"}, {"KXREPTBL", "OK:12"},
        {"KX300R1COLA", "OK"}, {"KX- ", "OK"}, {"KX50R1COLA", "OK"},
        {"KX5TO", "DE1038"},  // a receipt is open
        {"KX0R1NOTHING", "DE1011"}, {"KX100T1", "OK"}, {"KX0T1", "OK"}, {"KXRE", "OK:1:2"},
        {"KXT3", "OK"}, {"KXRE", "OK:1:3"},  // pays the rest and closes the receipt
        {"KX021T1", "OK"}, {"KXRE", "OK:2:3"},
        {"KXFROM12TO20PAR", "OK"}, {"KXREPTBL", "OK:20"}, {"KXPPAY", "OK"}, {"KXFROM20", "OK"},
        {"KX1250T2P1", "OK"}, {"KXREPTBL", "OK:"}, {"KXREP20TBL", "OK:20:0.00"},
        {"KXCO ----", "OK"}, {"HELLO", "DE69"},
    };
    // clang-format on
    RegisterState state;
    for (const auto& [command, reply] : steps) {
        EXPECT_EQ(state.answer(command), reply) << command;
    }
    EXPECT_EQ(state.receiptCounter(), 4);
    EXPECT_FALSE(state.receiptOpen());
    EXPECT_EQ(state.answer("KX794ST\r"), std::nullopt) << "awaited by no one, answered by no one";
}

TEST(RegisterState, LogsWhatTheCustomersHoldInHand) {
    RegisterState state;
    // clang-format off
    const char* commands[] = {
        "KX250R1COFFEE", "KX2.500* ", "KX120R1FETA", "KX- ", "KX30GE", "KXVOID",  // voided
        "KX12TO", "KX1100R2STEAK\t1", "KXTO",  // table 12
        "KXFROM12TO20PAR", "KXPPAY", "KXFROM20", "KX1100T1",  // paid
        "KX500R1TEA", "KX- ", "KX10% ", "KX450T1",  // closed
        "KX7TO", "KX300R1WINE", "KX?TO"};
    // clang-format on
    for (const char* command : commands) {
        state.answer(command);
    }
    EXPECT_EQ(state.takeLog(), (std::vector<std::string>{
                                   "voided\t-\t5.20\tKX250R1COFFEE\t2.500*KX120R1FETA\t-KX30GE",
                                   "table\t12\t1\tKX1100R2STEAK\\t1",
                                   "closed\t2\t11.00\tKX1100R2STEAK\\t1",
                                   "closed\t3\t4.50\tKX500R1TEA\t-KX10% ",
                               }));
    EXPECT_EQ(state.takeLog(), std::vector<std::string>{});
    EXPECT_EQ(state.openLog(), std::vector<std::string>{"open-table\t7\t-\tKX300R1WINE"});
}

TEST(Scenario, ShapesTheAnswersAsItsRulesSay) {
    Scenario scenario = Scenario::parse(R"(# rules are tried in order
silent KXCL times=2
error KX*R1* 1005
split KXRE 3,2 30
late KX?TO 400
reply KXST OK:9.99
raw KXVOID NO\x45OT
card KX*T2P1 0.3 358OK:1:2:3:1250
)");
    RegisterState state;
    using Pieces = std::vector<std::pair<long long, std::string>>;
    const auto respond = [&](const std::string& command) {
        Pieces pieces;
        for (const ReplyPiece& piece : sim::respond(scenario, state, command)) {
            pieces.emplace_back(piece.after.count(), piece.bytes);
        }
        return pieces;
    };
    EXPECT_EQ(respond("KXCL"), Pieces{});
    EXPECT_EQ(respond("KXCL"), Pieces{});
    EXPECT_EQ(respond("KXCL"), (Pieces{{0, "OK\r\x04"}}));
    EXPECT_EQ(respond("KX100R1A"), (Pieces{{0, "DE1005\r\x04"}}));
    EXPECT_FALSE(state.receiptOpen()) << "a refused sale is not carried out";
    EXPECT_EQ(respond("KX100R2A"), (Pieces{{0, "OK\r\x04"}}));
    EXPECT_EQ(respond("KXRE"), (Pieces{{0, "OK:"}, {30, "1:"}, {60, "1\r\x04"}}));
    EXPECT_EQ(respond("KX?TO"), (Pieces{{400, "OK:0\r\x04"}}));
    EXPECT_EQ(respond("KXST"), (Pieces{{0, "OK:9.99\r\x04"}}));
    EXPECT_EQ(respond("KXVOID"), (Pieces{{0, "NOEOT"}}));
    EXPECT_EQ(respond("KX100T2P1"), (Pieces{{0, "OK\r\x04"}, {300, "358OK:1:2:3:1250\r\x04"}}));
}

TEST(Scenario, ReadsPatternsAndRefusesMalformedRules) {
    const std::tuple<const char*, const char*, bool> patterns[] = {
        {"KX?TO", "KX?TO", true},          {"KX?TO", "KX1TO", false},
        {"KX*T2P1", "KX1250T2P1", true},   {"KX*T2P1", "KXT2P1", true},
        {"KX*T2P1", "KX1250T2P10", false}, {"*", "", true},
        {"KX*R*A", "KX1R1BA", true},       {"KXCL", "KXCL ", false},
    };
    for (const auto& [pattern, command, matches] : patterns) {
        EXPECT_EQ(matchesPattern(pattern, command), matches) << pattern << " / " << command;
    }
    for (const char* bad :
         {"jump KXCL", "silent", "error KXCL", "error KXCL x", "late KXCL", "split KXCL 0",
          "card KXCL 2", "silent KXCL times=0", "silent KXCL extra"}) {
        try {
            Scenario::parse(std::string("# comment\n") + bad);
            ADD_FAILURE() << bad;
        } catch (const std::invalid_argument& error) {
            EXPECT_NE(std::string(error.what()).find("line 2"), std::string::npos) << bad;
        }
    }
    auto scenario = Scenario::parse("error KXCL times=1 6\r\nreply KX* OK:\\x31\\r\\n\n");
    EXPECT_EQ(scenario.take("KXCL")->number, 6);
    EXPECT_EQ(scenario.take("KXCL")->text, "OK:1\r\n");
}

}  // namespace
}  // namespace merovan::sim
