#include "core/common/codepage.h"
#include "core/common/message_box.h"
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kNoReply = "Ο Φορολ. Εκτυπωτής δεν Απαντά σε εντολή !";

TEST_F(LinkTest, NormalReplyIsTracedAndHandedBack) {
    const std::string greek = common::utf8ToCp1253("KXCO Καφές");
    Script({{greek, {{0ms, "OK:12\r\x04"}}}});
    EXPECT_EQ(link.SendCommand(greek, reply, false), 0);
    EXPECT_EQ(reply, "OK:12");
    EXPECT_EQ(wire.wire(), greek + "\r\n");
    EXPECT_EQ(Seconds(), 0.1);
    EXPECT_THAT(
        op.traceLines(),
        ElementsAre("41:07       send:[KXCO Καφές]", "41:07      reply: OK:12ASC(13) ASC(4) ",
                    "41:07      reply: OK:12ASC(13) ASC(4) ", "41:07 -----------"));
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

// Pieces of an answer that straddles a resend are kept; the wait ends only at EOT.
TEST_F(LinkTest, ReplyInPiecesAcrossAttempts) {
    int sends = 0;
    wire.setResponder([&](const std::string&) {
        return ++sends == 1 ? Pieces{{1s, "O"}, {2s, "K DE"}, {6s, "LUXE\r\x04"}} : Pieces{};
    });
    EXPECT_EQ(link.SendCommand("KX0T1", reply, true), 0);
    EXPECT_EQ(reply, "OK DELUXE");
    EXPECT_EQ(wire.sent().size(), 2u);
    EXPECT_NEAR(Seconds(), 6.1, 1e-9);
}

TEST_F(LinkTest, ErrorReplyIsAcknowledgedAndLoggedOnce) {
    for (const bool quiet : {true, false}) {
        SCOPED_TRACE(quiet);
        std::filesystem::remove(resFile);
        Script({{"KX0T1", {{0ms, "DE10"}, {0ms, "05\r\x04"}}}, {"KXCL", {{0ms, "OK\r\x04"}}}});
        reply = "before";
        const auto sentBefore = wire.sent().size();
        EXPECT_EQ(link.SendCommand("KX0T1", reply, quiet, 200), 1005);
        EXPECT_EQ(link.registerStatus(), 1005);
        EXPECT_EQ(reply, "1005");
        EXPECT_EQ(std::vector(wire.sent().begin() + sentBefore, wire.sent().end()),
                  (std::vector<std::string>{"KX0T1", "KXCL"}));
        // The card wait never starts for a refused command.
        EXPECT_EQ(op.cardWaitShownCount(), 0);
        EXPECT_EQ(Result(), "Err = 1005, [KX0T1] DateTime = " +
                                common::formatDateTime(clock.localDateTime()) + "\r\n");
    }
    // The acknowledgement's answer was swallowed, not left for the next command.
    op.clear();
    Script({{"KXCL", {{0ms, "OK\r\x04"}}}});
    EXPECT_EQ(link.SendCommand("KXCL", reply, true), 0);
    EXPECT_EQ(op.traceLines().size(), 4u);
}

TEST_F(LinkTest, ErrorNumbers) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"DE7\r\x04", 7},     {"DE1005\r\x04", 1005}, {"DE10051\x04", 1005}, {"DE\r\x04", 9999},
        {"DEXY\r\x04", 9999}, {"DE0\r\x04", 9999},    {"DE-5\r\x04", 9999},
    };
    for (const auto& [answer, status] : cases) {
        SCOPED_TRACE(answer);
        Script({{"KXCL", {{0ms, answer}}}});
        EXPECT_EQ(link.SendCommand("KXCL", reply, true), status);
        EXPECT_EQ(reply, std::to_string(status));
    }
    EXPECT_EQ(link::kUnreadableErrorStatus, 9999);
}

TEST_F(LinkTest, SilentRegister) {
    for (const bool quiet : {true, false}) {
        SCOPED_TRACE(quiet);
        std::filesystem::remove(resFile);
        Script({});
        op.clear();
        const auto sentBefore = wire.sent().size();
        const auto started = clock.elapsed();
        const std::string logTime = common::formatDateTime(clock.localDateTime());
        EXPECT_EQ(link.SendCommand("KXCL", reply, quiet), -4);
        EXPECT_EQ(reply, common::utf8ToCp1253(kNoReply));
        EXPECT_EQ(wire.sent().size() - sentBefore, 4u);
        EXPECT_EQ(clock.elapsed() - started, 20s);
        EXPECT_EQ(op.traceLines().size(), 4u);
        if (quiet) {
            EXPECT_THAT(op.captions(), IsEmpty());
            EXPECT_THAT(op.messages(), IsEmpty());
        } else {
            EXPECT_THAT(op.captions(), ElementsAre("Σφάλμα !!!" + kNoReply));
            ASSERT_EQ(op.messages().size(), 1u);
            const auto expected = common::formatMessageBox(kNoReply, 64, "Μύνημα Φορολ. Εκτυπωτή");
            EXPECT_EQ(op.messages()[0].text, expected.text);
            EXPECT_EQ(op.messages()[0].title, expected.title);
            EXPECT_EQ(op.messages()[0].buttons, expected.buttons);
        }
        const std::string logEnd = common::formatDateTime(clock.localDateTime());
        EXPECT_EQ(Result(), "Err = -4, [KXCL] DateTime = " + logEnd + "\r\n");
        EXPECT_NE(logTime, logEnd);
    }
}

TEST_F(LinkTest, NoReplyAwaitedForSlipCommand) {
    reply = "356OK";  // left over from the caller's previous command
    EXPECT_EQ(link.SendCommand("KX794ST\r", reply, false), 0);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(wire.wire(), "KX794ST\r\r\n");
    EXPECT_EQ(op.traceLines().size(), 1u);
    EXPECT_EQ(clock.elapsed(), 0s);
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

// A late answer to an earlier command is dropped and traced, never taken for this reply.
TEST_F(LinkTest, StaleBytesAreDiscarded) {
    wire.queueIncoming({0ms, "358OK:1:2:3:4\r\x04"});
    Script({{"KXCL", {{0ms, "OK\r\x04"}}}});
    EXPECT_EQ(link.SendCommand("KXCL", reply, true), 0);
    EXPECT_EQ(reply, "OK");
    EXPECT_EQ(op.traceLines().front(), "41:07  discarded: 358OK:1:2:3:4ASC(13) ASC(4) ");
    EXPECT_EQ(Seconds(), 0.1);
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

TEST_F(LinkTest, CardTerminalAnswerReplacesFirstReply) {
    const std::string answer =
        "358OK:1234567890:TERM01:1250:978:VISA:************1234:2612:A:123456:000123:0001:"
        "20261205:094130:CUST";
    Script(
        {{"KXPAY1",
          {{0ms, "OK\r\x04"}, {30s, answer.substr(0, 40)}, {31s, answer.substr(40) + "\r\x04"}}}});
    EXPECT_EQ(link.SendCommand("KXPAY1", reply, false, 200), 0);
    EXPECT_EQ(reply, answer);
    EXPECT_NEAR(Seconds(), 32.1, 1e-9);
    EXPECT_EQ(op.cardWaitShownCount(), 1);
    EXPECT_FALSE(op.cardWaitShown());
    const auto trace = op.traceLines();
    ASSERT_EQ(trace.size(), 5u);
    EXPECT_EQ(trace[2].substr(5), "reply async: " + answer + "ASC(13) ASC(4) ");
    EXPECT_EQ(Result(), "ccPay0 = ;TERM01;123456;0001;094130;000123;CUST;12,50\r\n");

    // No second answer within the wait: the first reply stands.
    std::filesystem::remove(resFile);
    const auto started = clock.elapsed();
    Script({{"KXPAY2", {{0ms, "356OK\r\x04"}}}});
    EXPECT_EQ(link.SendCommand("KXPAY2", reply, false, 3), 0);
    EXPECT_EQ(reply, "356OK");
    EXPECT_EQ(clock.elapsed() - started, 3100ms);
    EXPECT_FALSE(op.cardWaitShown());
    EXPECT_EQ(Result(), "ccPay0 = 0,OK\r\n");
}

TEST_F(LinkTest, LinkAddressChoosesTransport) {
    struct Case {
        std::string address;
        link::LinkTarget::Kind kind;
        std::string host, port;
        bool closedDropsTransport;
    };
    using Kind = link::LinkTarget::Kind;
    const std::vector<Case> cases = {
        {"com1:9600", Kind::Serial, "", "", true},
        {"/dev/ttyUSB0:9600", Kind::Serial, "", "", true},
        {"COM1:9600", Kind::Network, "COM1", "9600", true},
        {"192.168.1.50:5012", Kind::Network, "192.168.1.50", "5012", false},
        {"registerhost", Kind::Network, "registerhost", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        link::Link fresh(op, clock, wire.factory());
        fresh.setLocalAddressLookup([] { return std::string("10.0.0.7"); });
        fresh.setLinkAddress(c.address);
        EXPECT_EQ(fresh.SendCommand("KXCL", reply, true), 0);
        const auto& target = wire.targets().back();
        EXPECT_EQ(target.kind, c.kind);
        EXPECT_EQ(target.remoteHost, c.host);
        EXPECT_EQ(target.remotePort, c.port);
        EXPECT_EQ(target.localHostIP, c.kind == Kind::Network ? "10.0.0.7" : "");
        const int shutdowns = wire.shutdownCount();
        fresh.CloseLink();
        EXPECT_EQ(wire.shutdownCount(), shutdowns + 1);
        EXPECT_EQ(fresh.currentTransport() == nullptr, c.closedDropsTransport);
    }
}

TEST_F(LinkTest, PortThatFailsToOpenSendsNothing) {
    const std::string text = common::utf8ToCp1253("Πρόβλημα στην Θύρα :com1:9600");
    wire.setOpenStatus(-1, text);
    EXPECT_EQ(link.SendCommand("KXCL", reply, false), -1);
    EXPECT_EQ(reply, text);
    EXPECT_THAT(wire.sent(), IsEmpty());
    EXPECT_THAT(op.messages(), IsEmpty());
    EXPECT_FALSE(std::filesystem::exists(resFile));
    // The link is opened once per run, whatever the outcome.
    link.SendCommand("KXCL", reply, true);
    EXPECT_EQ(wire.openCount(), 1);
}

}  // namespace
}  // namespace merovan::testing
