#include "tools/register/register_simulator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "core/link/serial_transport.h"
#include "core/link/udp_transport.h"
#include "transport/transport_test_support.h"

namespace merovan::sim {
namespace {

using std::chrono::milliseconds;
using testing::roundTrip;

// The simulator on 127.0.0.2 and the driver's UDP transport on 127.0.0.1, one port.
class SimulatorOverUdp : public ::testing::Test {
  protected:
    void start(const std::string& scenario = {}) {
        RegisterSimulator::Options options;
        options.mode = RegisterSimulator::Options::Mode::Udp;
        options.udpPort = testing::freeUdpPort();
        options.trafficFile = trafficPath_;
        options.scenario = Scenario::parse(scenario);
        simulator_ = std::make_unique<RegisterSimulator>(options);
        simulator_->start();
        EXPECT_EQ(simulator_->endpoint(), "127.0.0.2:" + std::to_string(options.udpPort));
        driver_.setRemoteHostIP("127.0.0.2");
        driver_.setRemotePort(options.udpPort);
        driver_.setBindAddress("127.0.0.1");
        ASSERT_EQ(driver_.openConnection(), 0);
    }
    void TearDown() override { std::remove(trafficPath_.c_str()); }

    std::string trafficPath_ =
        ::testing::TempDir() + "merovan_traffic_" + std::to_string(::getpid()) + ".txt";
    std::unique_ptr<RegisterSimulator> simulator_;
    link::cTCPIP driver_;
};

TEST_F(SimulatorOverUdp, KeepsTablesReceiptsAndCounters) {
    start();
    const std::pair<std::string, std::string> steps[] = {
        {"KXCL", "OK"},
        {"KX?TO", "OK:0"},
        {"KXT1", "DE6"},  // a payment with no open receipt
        {"KXTO", "DE6"},  // no table to close
        {"KX12TO", "OK"},
        {"KX1000R1SOUP", "OK"},
        {"KX2.000* ", "OK"},
        {"KX125R2BREAD", "OK"},
        {"KX7TO", "DE6"},  // another table is open
        {"KX?TO", "OK:12"},
        {"KXREP12TBL", "OK:12:12.50"},
        {"KXTO", "OK:12:1"},
        {"KX?TO", "OK:0"},
        {"KXREPTBL", "OK:12"},
        {"KX300R1COLA", "OK"},
        {"KX- ", "OK"},
        {"KX50R1COLA", "OK"},
        {"KX5TO", "DE1038"},  // a receipt is open
        {"KX0R1NOTHING", "DE1011"},
        {"KX100T1", "OK"},
        {"KX0T1", "OK"},
        {"KXRE", "OK:1:2"},
        {"KXT3", "OK"},  // pays the rest and closes the receipt
        {"KXRE", "OK:1:3"},
        {"KX021T1", "OK"},
        {"KXRE", "OK:2:3"},
        {"KXFROM12TO20PAR", "OK"},
        {"KXREPTBL", "OK:20"},
        {"KXPPAY", "OK"},
        {"KXFROM20", "OK"},
        {"KX1250T2P1", "OK"},
        {"KXREPTBL", "OK:"},
        {"KXREP20TBL", "OK:20:0.00"},
        {"KXCO ----", "OK"},
        {"HELLO", "DE69"},
    };
    std::string expectedTraffic;
    for (const auto& [command, reply] : steps) {
        EXPECT_EQ(roundTrip(driver_, command), reply + "\r\x04") << command;
        expectedTraffic += command + "\n";
    }
    EXPECT_EQ(simulator_->state().receiptCounter(), 4);
    EXPECT_FALSE(simulator_->state().receiptOpen());

    // Awaited by no one, so answered by no one.
    driver_.sendData("KX794ST\r");
    EXPECT_EQ(driver_.receiveData(milliseconds(200)), "");
    expectedTraffic += "KX794ST\r\n";

    simulator_->stop();
    std::ifstream file(trafficPath_, std::ios::binary);
    std::stringstream traffic;
    traffic << file.rdbuf();
    EXPECT_EQ(traffic.str(), expectedTraffic);
}

TEST_F(SimulatorOverUdp, MisbehavesAsTheScenarioSays) {
    start(R"(# rules are tried in order
silent KXCL times=2
error KX*R1* 1005
split KXRE 3,2 30
late KX?TO 400
reply KXST OK:9.99
raw KXVOID NO\x45OT
card KX*T2P1 0.3 358OK:1:2:3:1250
)");
    for (int silent = 0; silent < 2; ++silent) {
        driver_.sendData("KXCL");
        EXPECT_EQ(driver_.receiveData(milliseconds(200)), "");
    }
    EXPECT_EQ(roundTrip(driver_, "KXCL"), "OK\r\x04");

    EXPECT_EQ(roundTrip(driver_, "KX100R1A"), "DE1005\r\x04");
    EXPECT_FALSE(simulator_->state().receiptOpen()) << "a refused sale is not carried out";
    EXPECT_EQ(roundTrip(driver_, "KX100R2A"), "OK\r\x04");

    driver_.sendData("KXRE");
    EXPECT_EQ(driver_.receiveData(milliseconds(1000)), "OK:");
    EXPECT_EQ(driver_.receiveData(milliseconds(1000)), "1:");
    EXPECT_EQ(driver_.receiveData(milliseconds(1000)), "1\r\x04");

    driver_.sendData("KX?TO");
    EXPECT_EQ(driver_.receiveData(milliseconds(150)), "");
    EXPECT_EQ(driver_.receiveData(milliseconds(2000)), "OK:0\r\x04");

    EXPECT_EQ(roundTrip(driver_, "KXST"), "OK:9.99\r\x04");
    driver_.sendData("KXVOID");
    EXPECT_EQ(driver_.receiveData(milliseconds(1000)), "NOEOT");

    EXPECT_EQ(roundTrip(driver_, "KX100T2P1"), "OK\r\x04");
    EXPECT_EQ(driver_.receiveData(milliseconds(100)), "");
    EXPECT_EQ(driver_.receiveData(milliseconds(2000)), "358OK:1:2:3:1250\r\x04");

    EXPECT_TRUE(simulator_->waitForTraffic(10, milliseconds(100)));
    EXPECT_EQ(simulator_->traffic().front(), "KXCL");
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

TEST(Simulator, AnswersOnAPseudoTerminal) {
    RegisterSimulator simulator({});
    simulator.start();
    ASSERT_TRUE(simulator.endpoint().starts_with("/dev/")) << simulator.endpoint();
    for (int run = 0; run < 2; ++run) {  // the driver may close its side and come back
        link::cCom com(simulator.endpoint() + ":9600");
        ASSERT_EQ(com.openConnection(), 0);
        EXPECT_EQ(roundTrip(com, "KXCL"), "OK\r\x04");
        EXPECT_EQ(roundTrip(com, "KX12TO"), "OK\r\x04");
        com.shutdownConnection();
    }
    EXPECT_EQ(simulator.traffic(), (std::vector<std::string>{"KXCL", "KX12TO", "KXCL", "KX12TO"}));
    EXPECT_EQ(simulator.state().openTable(), 12);
}

}  // namespace
}  // namespace merovan::sim
