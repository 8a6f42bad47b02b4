#include "core/common/codepage.h"
#include "core/common/message_box.h"
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kOk = ScriptedTransport::okReply();
const std::string kNoReply = "Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !";

TEST_F(LinkTest, NormalReplyIsTracedAndHandedBack) {
    const std::string greek = common::utf8ToCp1253("KXCO Καφές");
    Script({{greek, {{0ms, "OK:12\r\x04"}}}});
    EXPECT_EQ(send(greek, false), 0);
    EXPECT_EQ(reply, "OK:12");
    EXPECT_EQ(wire.wire(), greek + "\r\n");
    EXPECT_EQ(clock.elapsed(), 100ms);
    EXPECT_THAT(
        op.traceLines(),
        ElementsAre("41:07       send:[KXCO Καφές]", "41:07      reply: OK:12ASC(13) ASC(4) ",
                    "41:07      reply: OK:12ASC(13) ASC(4) ", "41:07 -----------"));
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

// Pieces of an answer that straddles a resend are kept; "DE" inside an answer does not end it.
TEST_F(LinkTest, ReplyInPiecesAcrossAttempts) {
    Script({{"KX0T1", {{1s, "O"}, {2s, "K DE"}, {6s, "LUXE\r\x04"}}}});
    EXPECT_EQ(send("KX0T1", true), 0);
    EXPECT_EQ(reply, "OK DELUXE");
    EXPECT_EQ(wire.sent().size(), 2u);
    EXPECT_EQ(clock.elapsed(), 6100ms);
}

TEST_F(LinkTest, ErrorReplyIsAcknowledgedAndLoggedOnce) {
    // Cut after "DE10", the number is still read whole; a card wait never starts.
    Script({{"KX0T1", {{0ms, "DE10"}, {10ms, "05\r\x04"}}}, {"KXCL", {{0ms, kOk}}}});
    reply = "before";
    EXPECT_EQ(send("KX0T1", true, 200), 1005);
    EXPECT_EQ(link::statusNumber(session.lastStatus()), 1005);
    EXPECT_EQ(reply, "1005");
    EXPECT_THAT(wire.sent(), ElementsAre("KX0T1", "KXCL"));
    EXPECT_EQ(op.cardWaitShownCount(), 0);
    EXPECT_THAT(op.messages(), IsEmpty());
    EXPECT_EQ(resultFileText(), "Err = 1005, [KX0T1] DateTime = " + nowText() + "\r\n");
    // The acknowledgement's answer was swallowed, not left for the next command.
    op.clear();
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_EQ(op.traceLines().size(), 4u);

    // Error replies without a readable number are failures all the same.
    const std::vector<std::pair<std::string, int>> cases = {
        {"DE7\r\x04", 7},   {"DE10051\x04", 1005}, {"DE\r\x04", 9999},
        {"DEXY\x04", 9999}, {"DE0\r\x04", 9999},   {"DE-5\r\x04", 9999}};
    for (const auto& [answer, status] : cases) {
        Script({{"KXCL", {{0ms, answer}}}});
        EXPECT_EQ(send("KXCL", false), status) << answer;
        EXPECT_EQ(reply, std::to_string(status));
    }
    EXPECT_EQ(op.messages().size(), cases.size());
}

// The operator reads the refusal while the register still shows it: the message comes before
// the acknowledgement. Outside a job its line goes to the log, as no result file is the job's.
TEST_F(LinkTest, RefusalIsShownBeforeItIsAcknowledgedAndOutsideAJobLogged) {
    std::size_t shownAtAcknowledge = 0;
    wire.setResponder([&](const std::string& command) {
        if (command == "KXCL") {
            shownAtAcknowledge = op.messages().size();
            return Pieces{{0ms, kOk}};
        }
        return Pieces{{0ms, "DE1005\r\x04"}};
    });
    session.setResultFile({});
    EXPECT_EQ(send("KXT1", false), 1005);
    EXPECT_EQ(shownAtAcknowledge, 1u);
    EXPECT_THAT(op.captions(), ElementsAre("Σφάλμα !!!Λάθος Ποσότητα!"));
    EXPECT_EQ(op.messages()[0].text,
              common::formatMessageBox("Λάθος : 1005\rΛάθος Ποσότητα!", 16, "").text);
    EXPECT_EQ(op.messages()[0].buttons, 16 + 4096);
    EXPECT_THAT(op.logLines(), ElementsAre("Err = 1005, [KXT1] DateTime = " + nowText()));
    EXPECT_FALSE(std::filesystem::exists(resFile));
    // A link that cannot be reached is told by the link-state line alone.
    Script({});
    EXPECT_EQ(send("KXCL", true), -4);
    EXPECT_EQ(op.logLines().size(), 2u);
    EXPECT_THAT(op.logLines().back(), ::testing::HasSubstr("εκτός σύνδεσης"));
}

TEST_F(LinkTest, SilentRegister) {
    for (const bool quiet : {true, false}) {
        std::filesystem::remove(resFile);
        Script({});
        op.clear();
        const auto sentBefore = wire.sent().size();
        const auto started = clock.elapsed();
        EXPECT_EQ(send("KXCL", quiet), -4);
        EXPECT_EQ(reply, common::utf8ToCp1253(kNoReply));
        EXPECT_EQ(wire.sent().size() - sentBefore, 4u);
        EXPECT_EQ(clock.elapsed() - started, 20s);
        EXPECT_EQ(resultFileText(), "Err = -4, [KXCL] DateTime = " + nowText() + "\r\n");
        if (quiet) {
            EXPECT_THAT(op.messages(), IsEmpty());
            EXPECT_THAT(op.captions(), IsEmpty());
        } else {
            EXPECT_THAT(op.captions(), ElementsAre("Σφάλμα !!!" + kNoReply));
            ASSERT_EQ(op.messages().size(), 1u);
            EXPECT_EQ(op.messages()[0].text, kNoReply);  // 41 characters: not padded
            EXPECT_EQ(op.messages()[0].title, "Μύνημα Φορολ. Εκτυπωτή");
            EXPECT_EQ(op.messages()[0].buttons, 64 + 4096);
        }
    }
}

TEST_F(LinkTest, NoReplyAwaitedForSlipCommand) {
    reply = "356OK";  // left over from the caller's previous command: no card line from it
    EXPECT_EQ(send("KX794ST\r", false), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(wire.wire(), "KX794ST\r\r\n");
    EXPECT_EQ(clock.elapsed(), 0s);
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

TEST_F(LinkTest, CardTerminalAnswerReplacesFirstReply) {
    const std::string answer =
        "358OK:1234567890:TERM01:1250:978:VISA:************1234:2612:A:123456:000123:0001:"
        "20261205:094130:CUST";
    Script(
        {{"KXPAY1", {{0ms, kOk}, {30s, answer.substr(0, 40)}, {31s, answer.substr(40) + "\r\x04"}}},
         {"KXPAY2", {{0ms, "356OK\r\x04"}}}});
    EXPECT_EQ(send("KXPAY1", false, 200), 0);
    EXPECT_EQ(reply, answer);
    EXPECT_EQ(clock.elapsed(), 32100ms);
    EXPECT_EQ(op.cardWaitShownCount(), 1);
    EXPECT_FALSE(op.cardWaitShown());
    ASSERT_EQ(op.traceLines().size(), 5u);
    EXPECT_EQ(op.traceLines()[2], "41:39reply async: " + answer + "ASC(13) ASC(4) ");
    // No second answer within the wait: the first reply stands.
    EXPECT_EQ(send("KXPAY2", false, 3), 0);
    EXPECT_EQ(reply, "356OK");
    EXPECT_EQ(clock.elapsed(), 35200ms);
    EXPECT_FALSE(op.cardWaitShown());
    EXPECT_EQ(resultFileText(),
              "ccPay0 = ;TERM01;123456;0001;094130;000123;CUST;12,50\r\nccPay0 = 0,OK\r\n");
}

TEST_F(LinkTest, LinkAddressChoosesTransport) {
    using Kind = link::LinkTarget::Kind;
    const std::vector<std::tuple<std::string, Kind, std::string, bool>> cases = {
        {"com1:9600", Kind::Serial, "", true},
        {"/dev/ttyUSB0:9600", Kind::Serial, "", true},
        // Upper case is a host name when opening, but a serial port when closing.
        {"COM1:9600", Kind::Network, "COM1/9600", true},
        {"192.168.1.50:5012", Kind::Network, "192.168.1.50/5012", false},
        {"registerhost", Kind::Network, "registerhost/", false},
    };
    for (const auto& [address, kind, hostPort, closeDrops] : cases) {
        link::Link fresh(op, clock, wire.factory());
        fresh.setLocalAddressLookup([] { return std::string("10.0.0.7"); });
        fresh.setLinkAddress(address);
        jobs::RegisterSession(fresh, op, clock).send("KXCL", true);
        const auto& target = wire.targets().back();
        EXPECT_EQ(target.kind, kind) << address;
        if (kind == Kind::Network) {
            EXPECT_EQ(target.remoteHost + "/" + target.remotePort, hostPort);
            EXPECT_EQ(target.localHostIP, "10.0.0.7");
        }
        fresh.closeLink();
        EXPECT_EQ(fresh.currentTransport() == nullptr, closeDrops) << address;
    }
    EXPECT_EQ(wire.shutdownCount(), 5);
}

}  // namespace
}  // namespace merovan::testing
