// A port that fails or goes away is opened anew at the next exchange; the log says why the
// register cannot be reached, once per reason.
#include "core/common/codepage.h"
#include "link/link_fixture.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kPortFailed = common::utf8ToCp1253("Πρόβλημα στην Θύρα :") + "com1:9600";
const std::string kGone = "η θύρα /dev/ttyS0 δεν ανοίγει: No such file or directory";
const std::string kNoSpeed = "η θύρα /dev/ttyS1 δεν ρυθμίζεται: Invalid argument";

using LinkReopen = LinkTest;

// A serial port or a network that cannot be opened: no command goes out, each failed command
// leaves its line, so that a job run meanwhile does not look printed, and the log says why once.
TEST_F(LinkReopen, APortThatFailsToOpenIsTriedAgainAtEveryExchange) {
    const std::string busy =
        "η τοπική θύρα UDP 0.0.0.0:5012 δεν δεσμεύεται: Address already in use";
    // The address, how the opening fails and why, the status and the reply the caller gets.
    using link::TransportError;
    const std::tuple<std::string, TransportError, std::string, int, std::string> ports[] = {
        {"com1:9600", TransportError::PortUnavailable, kGone, -1, kPortFailed},
        {"com2:9600", TransportError::PortSetUpRefused, kNoSpeed, -2,
         common::utf8ToCp1253("Πρόβλημα στο Set-Up τής Θύρας :") + "com2:9600"},
        {"192.168.1.50:5012", TransportError::LocalPortTaken, busy, -4,
         common::utf8ToCp1253(busy)}};
    for (const auto& [address, error, why, status, failedReply] : ports) {
        SCOPED_TRACE(address);
        link.setLinkAddress(address);
        std::filesystem::remove(resFile);
        op.clear();
        const int opened = wire.openCount();
        const std::size_t sent = wire.sent().size();
        const auto started = clock.elapsed();
        wire.setOpenStatus(error, why);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(send("KXCL", false), status);
            EXPECT_EQ(reply, failedReply);
        }
        EXPECT_EQ(wire.openCount() - opened, 3);
        EXPECT_EQ(wire.sent().size(), sent);
        EXPECT_THAT(op.messages(), IsEmpty());
        EXPECT_EQ(clock.elapsed(), started);
        EXPECT_EQ(link.currentTransport(), nullptr);
        const std::string line =
            "Err = " + std::to_string(status) + ", [KXCL] DateTime = " + nowText() + "\r\n";
        EXPECT_EQ(resultFileText(), line + line + line);
        EXPECT_THAT(op.logLines(), ElementsAre("Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: " + why));
        EXPECT_EQ(link.downReason(), why);

        wire.setOpenStatus(TransportError::None);
        EXPECT_EQ(send("KXCL", false), 0);
        EXPECT_EQ(wire.openCount() - opened, 4);
        EXPECT_EQ(op.logLines().back(), "Ο Φορολογικός Εκτυπωτής απαντά ξανά");
        EXPECT_EQ(link.downReason(), "");
        EXPECT_EQ(send("KXCL", false), 0);
        EXPECT_EQ(wire.openCount() - opened, 4) << "a working port is kept";
        EXPECT_EQ(op.logLines().size(), 2u);
        link.closeLink();
    }
}

// Nothing was written to a port that failed at the send: it is opened anew and the command
// goes out once, and the trace shows only what was written.
TEST_F(LinkReopen, APortLostAtTheSendIsOpenedAnewAndTheCommandSentOnce) {
    EXPECT_EQ(send("KXCL", true), 0);
    op.clear();
    wire.loseAtNextSend("η θύρα /dev/ttyS0 χάθηκε: Input/output error");
    EXPECT_EQ(send("KX100R1A", true), 0);
    EXPECT_EQ(reply, "OK");
    EXPECT_THAT(wire.sent(), ElementsAre("KXCL", "KX100R1A"));
    EXPECT_EQ(wire.openCount(), 2);
    EXPECT_EQ(wire.shutdownCount(), 1);
    ASSERT_GE(op.traceLines().size(), 2u);
    EXPECT_EQ(op.traceLines()[0],
              "41:07   not sent:[KX100R1A] η θύρα /dev/ttyS0 χάθηκε: Input/output error");
    EXPECT_EQ(op.traceLines()[1], "41:07       send:[KX100R1A]");
    EXPECT_THAT(op.logLines(),
                ElementsAre("Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: η θύρα /dev/ttyS0 χάθηκε: "
                            "Input/output error",
                            "Ο Φορολογικός Εκτυπωτής απαντά ξανά"));
    EXPECT_FALSE(std::filesystem::exists(resFile));
}

// A hang-up after the command went out ends the wait at once; the port opened anew is asked
// again, as a resend after silence would.
TEST_F(LinkReopen, APortThatHangsUpWhileAwaitedIsAskedAgainAtOnce) {
    wire.loseAtNextSend("η θύρα /dev/ttyS0 χάθηκε: hang-up", true);
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_THAT(wire.sent(), ElementsAre("KXCL", "KXCL"));
    EXPECT_EQ(wire.openCount(), 2);
    EXPECT_LT(clock.elapsed(), 1s);

    // Gone for good: the next opening fails, and the exchange ends with its status at once.
    wire.loseAtNextSend("η θύρα /dev/ttyS0 χάθηκε: hang-up", true);
    wire.setOpenStatus(link::TransportError::PortUnavailable, kGone);
    const auto before = clock.elapsed();
    EXPECT_EQ(send("KXCL", true), -1);
    EXPECT_EQ(reply, kPortFailed);
    EXPECT_LT(clock.elapsed() - before, 1s);
    EXPECT_EQ(op.logLines().back(), "Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: " + kGone);
}

// A reply read together with the hang-up is the command's reply: the command is not sent
// again, and the port is opened anew for the next one.
TEST_F(LinkReopen, AReplyThatCameWithTheHangUpIsTaken) {
    wire.loseWithLastByte("η θύρα /dev/ttyS0 χάθηκε: hang-up");
    EXPECT_EQ(send("KX100R1A", true), 0);
    EXPECT_EQ(reply, "OK");
    EXPECT_THAT(wire.sent(), ElementsAre("KX100R1A"));
    EXPECT_EQ(link.currentTransport(), nullptr);
    EXPECT_EQ(send("KXCL", true), 0);
    EXPECT_EQ(wire.openCount(), 2);
}

TEST_F(LinkReopen, ASilentRegisterIsLoggedOnceNotAtEveryExchange) {
    Script({});
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(send("KXCL", true), -4);
    }
    EXPECT_EQ(wire.openCount(), 1) << "silence is not a reason to reopen";
    EXPECT_THAT(op.logLines(), ElementsAre("Ο Φορολογικός Εκτυπωτής εκτός σύνδεσης: Ο Φορολ. "
                                           "Εκτυπωτής δεν Απαντά σε εντολή !"));
    // A refusal is an answer: the register is there.
    Script({{"KXT1", {{0ms, "DE6\r\x04"}}}});
    EXPECT_EQ(send("KXT1", true), 6);
    EXPECT_EQ(op.logLines().back(), "Ο Φορολογικός Εκτυπωτής απαντά ξανά");
}

// Whoever waits for the register only so long is not kept waiting by a 20-second exchange.
TEST_F(LinkReopen, AnExchangeEndsAtTheGiveUpMoment) {
    Script({});
    link.setGiveUpAt(clock.now() + 2s);
    EXPECT_EQ(send("KXCL", false), -4);
    EXPECT_EQ(clock.elapsed(), 2s);
    EXPECT_EQ(wire.sent().size(), 1u);
    EXPECT_EQ(op.messages().size(), 1u);

    // Past the moment nothing more is sent.
    EXPECT_EQ(send("KXCL", false), -4);
    EXPECT_EQ(wire.sent().size(), 1u);
    EXPECT_EQ(clock.elapsed(), 2s);

    link.setGiveUpAt(std::nullopt);
    EXPECT_EQ(send("KXCL", true), -4);
    EXPECT_EQ(clock.elapsed(), 22s);
}

}  // namespace
}  // namespace merovan::testing
