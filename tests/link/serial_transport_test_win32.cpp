#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "core/common/codepage.h"
#include "core/jobs/register_session.h"
#include "core/link/link.h"
#include "core/link/serial_transport.h"
#include "core/link/system_transport_factory.h"
#include "support/fake_clock.h"
#include "support/recording_operator.h"

namespace merovan::link {
namespace {

TEST(SerialTransportWin32, PortsFromCom10UpAreOpenedThroughTheDeviceNamespace) {
    EXPECT_EQ(SerialTransport::devicePath("com1"), "com1");
    EXPECT_EQ(SerialTransport::devicePath("com9"), "com9");
    EXPECT_EQ(SerialTransport::devicePath("com10"), "\\\\.\\com10");
    EXPECT_EQ(SerialTransport::devicePath("com123"), "\\\\.\\com123");
    EXPECT_EQ(SerialTransport::devicePath("comx1"), "comx1");
}

TEST(SerialTransportWin32, AMissingPortStopsTheCommandWithItsAddress) {
    testing::FakeClock clock;
    testing::RecordingOperator op;
    Link link(op, clock, systemTransportFactory());
    link.setLinkAddress("com77:9600");
    const ExchangeOutcome outcome = jobs::RegisterSession(link, op, clock).send("KXCL");
    EXPECT_EQ(outcome.status, LinkStatus::PortUnavailable);
    EXPECT_EQ(common::cp1253ToUtf8(outcome.reply), "Πρόβλημα στην Θύρα :com77:9600");
    link.closeLink();
}

// scripts/windows-test maps a port to the register simulator and names it here.
TEST(SerialTransportWin32, TalksToARegisterAndRefusesABaudItCannotSet) {
    const char* port = std::getenv("MEROVAN_TEST_SERIAL_PORT");
    if (port == nullptr) {
        GTEST_SKIP() << "no serial port to a register (MEROVAN_TEST_SERIAL_PORT)";
    }
    SerialTransport badBaud(std::string(port) + ":abc");
    const TransportResult refused = badBaud.openConnection();
    EXPECT_EQ(refused.error, TransportError::PortSetUpRefused);
    EXPECT_TRUE(refused.lost());
    // Not used with whatever settings it had, and closed: the next opening gets the port.
    EXPECT_TRUE(badBaud.sendData("KXCL").lost());

    SerialTransport serial(std::string(port) + ":9600");
    ASSERT_TRUE(serial.openConnection().ok());
    EXPECT_TRUE(serial.isSetUp());
    EXPECT_EQ(serial.receiveData(std::chrono::milliseconds(0)).bytes, "");
    ASSERT_TRUE(serial.sendData("KXCL").ok());
    std::string reply;
    for (int read = 0; read < 20 && !reply.ends_with('\x04'); ++read) {
        reply += serial.receiveData(std::chrono::milliseconds(500)).bytes;
    }
    EXPECT_EQ(reply, "OK\r\x04");
}

}  // namespace
}  // namespace merovan::link
