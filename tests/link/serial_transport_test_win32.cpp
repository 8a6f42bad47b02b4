#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "core/common/codepage.h"
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
    std::string reply;
    EXPECT_EQ(link.sendCommand("KXCL", reply, false), -1);
    EXPECT_EQ(common::cp1253ToUtf8(reply), "Πρόβλημα στην Θύρα :com77:9600");
    link.closeLink();
}

// scripts/windows-test maps a port to the register simulator and names it here.
TEST(SerialTransportWin32, TalksToARegisterAndRefusesABaudItCannotSet) {
    const char* port = std::getenv("MEROVAN_TEST_SERIAL_PORT");
    if (port == nullptr) {
        GTEST_SKIP() << "no serial port to a register (MEROVAN_TEST_SERIAL_PORT)";
    }
    SerialTransport badBaud(std::string(port) + ":abc");
    EXPECT_EQ(badBaud.openConnection(), -2);
    EXPECT_EQ(common::cp1253ToUtf8(badBaud.exResult()),
              "Πρόβλημα στο Set-Up τής Θύρας :" + std::string(port) + ":abc");
    // Not used with whatever settings it had, and closed: the next opening gets the port.
    EXPECT_TRUE(badBaud.lost());
    EXPECT_FALSE(badBaud.sendData("KXCL"));

    SerialTransport serial(std::string(port) + ":9600");
    ASSERT_EQ(serial.openConnection(), 0);
    EXPECT_TRUE(serial.isSetUp());
    EXPECT_EQ(serial.receiveData(std::chrono::milliseconds(0)), "");
    ASSERT_TRUE(serial.sendData("KXCL"));
    std::string reply;
    for (int read = 0; read < 20 && !reply.ends_with('\x04'); ++read) {
        reply += serial.receiveData(std::chrono::milliseconds(500));
    }
    EXPECT_EQ(reply, "OK\r\x04");
}

}  // namespace
}  // namespace merovan::link
