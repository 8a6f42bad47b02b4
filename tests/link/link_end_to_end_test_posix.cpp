// The exchange end to end: the real link over the real serial and UDP transports against the
// register simulator, compared by replies, status, traffic and result file.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/jobs/register_session.h"
#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "support/read_file.h"
#include "support/recording_operator.h"
#include "support/transport_test_support.h"
#include "tools/register/register_simulator.h"

namespace merovan::link {
namespace {

using Mode = sim::RegisterSimulator::Options::Mode;

std::string takeFile(const std::string& path) {
    std::string text = testing::readFile(path);
    std::remove(path.c_str());
    return text;
}

TEST(LinkEndToEnd, RunsTheExchangeOverSerialAndUdp) {
    const std::string resFile = ::testing::TempDir() + "merovan_e2e_" + std::to_string(::getpid());
    for (const Mode mode : {Mode::Pty, Mode::Udp}) {
        SCOPED_TRACE(mode == Mode::Pty ? "serial" : "udp");
        sim::RegisterSimulator::Options options;
        options.mode = mode;
        options.udpPort = testing::freeUdpPort();
        options.trafficFile = resFile + ".traffic";
        options.scenario = sim::Scenario::parse("split KX?TO 2,1 40\ncard KX*T2P1 0.3 356OK\n");
        sim::RegisterSimulator simulator(options);
        simulator.start();
        testing::RecordingOperator op;
        common::SystemClock clock;
        Link link(op, clock, systemTransportFactory(mode == Mode::Pty ? "" : "127.0.0.1"));
        link.setLinkAddress(simulator.endpoint() + (mode == Mode::Pty ? ":9600" : ""));
        jobs::RegisterSession session(link, op, clock);
        session.setResultFile(resFile);

        const struct {
            std::string command;
            std::int16_t status;
            std::string reply;
            int cardWait = 0;
        } steps[] = {
            {"KXCL", 0, "OK"},
            {"KX12TO", 0, "OK"},
            {"KX1250R1COLA", 0, "OK"},
            {"KX?TO", 0, "OK:12"},  // arrives in three pieces
            {"KXREP12TBL", 0, "OK:12:12.50"},
            {"KXT1", 6, "6"},  // no receipt to pay: refused, then acknowledged
            {"KXTO", 0, "OK:12:1"},
            {"KX100R1A", 0, "OK"},
            // A card payment: the terminal's second answer replaces the register's first.
            {"KX100T2P1", 0, "356OK", 3},
        };
        for (const auto& [command, status, expected, cardWait] : steps) {
            if (command == "KXT1" && mode == Mode::Pty) {
                link.closeLink();  // the register takes the driver back after it let go
            }
            const ExchangeOutcome outcome = session.send(command, true, cardWait);
            EXPECT_EQ(statusNumber(outcome.status), status) << command;
            EXPECT_EQ(outcome.reply, expected) << command;
        }
        link.closeLink();
        simulator.stop();
        EXPECT_EQ(takeFile(resFile + ".traffic"),
                  "KXCL\nKX12TO\nKX1250R1COLA\nKX?TO\nKXREP12TBL\nKXT1\nKXCL\nKXTO\nKX100R1A\n"
                  "KX100T2P1\n");
        const std::string result = takeFile(resFile);
        EXPECT_TRUE(result.starts_with("Err = 6, [KXT1] DateTime = ")) << result;
        EXPECT_NE(result.find("\r\nccPay0 = 0,OK\r\n"), std::string::npos) << result;
    }
}

}  // namespace
}  // namespace merovan::link
