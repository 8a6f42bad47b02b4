// The exchange end to end: the real link over the real serial and UDP transports against the
// register simulator, compared by replies, status, traffic and result file.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/link/link.h"
#include "core/link/system_transport_factory.h"
#include "support/recording_operator.h"
#include "tools/register/register_simulator.h"
#include "transport/transport_test_support.h"

namespace merovan::link {
namespace {

using Mode = sim::RegisterSimulator::Options::Mode;

class LinkEndToEnd : public ::testing::TestWithParam<Mode> {
  protected:
    void SetUp() override {
        sim::RegisterSimulator::Options options;
        options.mode = GetParam();
        options.udpPort = testing::freeUdpPort();
        options.trafficFile = resFile_ + ".traffic";
        options.scenario = sim::Scenario::parse(
            "split KX?TO 2,1 40\n"
            "card KX*T2P1 0.3 356OK\n");
        simulator_ = std::make_unique<sim::RegisterSimulator>(options);
        simulator_->start();
        const bool serial = GetParam() == Mode::Pty;
        link_ = std::make_unique<Link>(operator_, clock_,
                                       systemTransportFactory(serial ? "" : "127.0.0.1"));
        link_->setLinkAddress(simulator_->endpoint() + (serial ? ":9600" : ""));
        link_->setResFile(resFile_);
    }
    void TearDown() override {
        link_->CloseLink();
        std::remove(resFile_.c_str());
        std::remove((resFile_ + ".traffic").c_str());
    }

    testing::RecordingOperator operator_;
    driver::SystemClock clock_;
    std::unique_ptr<sim::RegisterSimulator> simulator_;
    std::unique_ptr<Link> link_;
    std::string resFile_ = ::testing::TempDir() + "merovan_e2e_" + std::to_string(::getpid());
};

TEST_P(LinkEndToEnd, RunsTheExchangeOverTheRealTransport) {
    struct Step {
        std::string command;
        std::int16_t status;
        std::string reply;
    };
    const Step steps[] = {
        {"KXCL", 0, "OK"},
        {"KX12TO", 0, "OK"},
        {"KX1250R1COLA", 0, "OK"},
        {"KX?TO", 0, "OK:12"},  // arrives in three pieces
        {"KXREP12TBL", 0, "OK:12:12.50"},
        {"KXT1", 6, "6"},  // no receipt to pay: refused, then acknowledged
        {"KXTO", 0, "OK:12:1"},
        {"KX100R1A", 0, "OK"},
    };
    for (const auto& step : steps) {
        if (step.command == "KXT1" && GetParam() == Mode::Pty) {
            link_->CloseLink();  // the register takes the driver back after it let go of the port
        }
        std::string reply;
        EXPECT_EQ(link_->SendCommand(step.command, reply, true), step.status) << step.command;
        EXPECT_EQ(reply, step.reply) << step.command;
    }
    // A card payment: the terminal's second answer replaces the register's first.
    std::string reply;
    EXPECT_EQ(link_->SendCommand("KX100T2P1", reply, true, 3), 0);
    EXPECT_EQ(reply, "356OK");

    const auto read = [](const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    };
    simulator_->stop();
    EXPECT_EQ(
        read(resFile_ + ".traffic"),
        "KXCL\nKX12TO\nKX1250R1COLA\nKX?TO\nKXREP12TBL\nKXT1\nKXCL\nKXTO\nKX100R1A\nKX100T2P1\n");
    const std::string result = read(resFile_);
    EXPECT_TRUE(result.starts_with("Err = 6, [KXT1] DateTime = ")) << result;
    EXPECT_NE(result.find("\r\nccPay0 = 0,OK\r\n"), std::string::npos) << result;
}

INSTANTIATE_TEST_SUITE_P(Transports, LinkEndToEnd, ::testing::Values(Mode::Pty, Mode::Udp),
                         [](const auto& info) {
                             return info.param == Mode::Pty ? "SerialOnPty" : "UdpOnLoopback";
                         });

}  // namespace
}  // namespace merovan::link
