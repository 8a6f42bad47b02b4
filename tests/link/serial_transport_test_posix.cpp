#include "core/link/serial_transport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <thread>

#include "support/transport_test_support.h"

namespace merovan::link {
namespace {

using std::chrono::milliseconds;
using testing::PtyPair;

TEST(SerialTransport, PortNamesMapToDevices) {
    const std::pair<const char*, const char*> cases[] = {
        {"com1", "/dev/ttyS0"}, {"com12", "/dev/ttyS11"}, {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"com0", "com0"},       {"comX", "comX"},         {"COM1", "COM1"},
    };
    for (const auto& [name, device] : cases) {
        EXPECT_EQ(SerialTransport::devicePath(name), device) << name;
    }
}

TEST(SerialTransport, OpensRawAndTerminatesCommands) {
    PtyPair pty;
    SerialTransport com(pty.slavePath() + ":9600");
    ASSERT_TRUE(com.openConnection().ok());
    EXPECT_TRUE(com.isSetUp());

    termios settings{};
    ASSERT_EQ(::tcgetattr(pty.master(), &settings), 0);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), static_cast<tcflag_t>(CS8));
    EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B9600));

    const std::string longCommand(600, 'A');
    const std::pair<std::string, std::string> cases[] = {
        {"KXCL", "KXCL\r\n"},
        {"KXCL\r\n", "KXCL\r\n"},
        {"OK", "OK"},
        {"KX794ST\r", "KX794ST\r\r\n"},
        {longCommand, longCommand + "\r\n"},
    };
    for (const auto& [command, wire] : cases) {
        EXPECT_TRUE(com.sendData(command).ok());
        EXPECT_EQ(pty.read(wire.size()), wire) << command.substr(0, 10);
        EXPECT_EQ(pty.read(1, milliseconds(30)), "") << command.substr(0, 10);
    }
}

TEST(SerialTransport, ReadsEndAtTheirCountTheirGapOrTheirTotal) {
    PtyPair pty;
    SerialTransport com(pty.slavePath() + ":115200");
    ASSERT_TRUE(com.openConnection().ok());

    pty.write(std::string(300, 'x'));
    EXPECT_EQ(com.receiveData(milliseconds(5000)).bytes.size(), 255u);
    EXPECT_EQ(com.receiveData(milliseconds(5000)).bytes.size(), 45u);

    // A pause longer than 20 ms ends a read: pieces arrive in reads of their own.
    std::thread register_([&] {
        pty.write("OK");
        std::this_thread::sleep_for(milliseconds(120));
        pty.write("\r\x04");
    });
    EXPECT_EQ(com.receiveData(milliseconds(5000)).bytes, "OK");
    EXPECT_EQ(com.receiveData(milliseconds(5000)).bytes, "\r\x04");
    register_.join();

    // Nothing there: no wait at 0, the caller's wait when short, a quarter second at most.
    const auto timed = [&](milliseconds wait) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(com.receiveData(wait).bytes, "");
        return std::chrono::steady_clock::now() - start;
    };
    EXPECT_LT(timed(milliseconds(0)), milliseconds(20));
    EXPECT_GE(timed(milliseconds(60)), milliseconds(55));
    const auto capped = timed(milliseconds(10000));
    EXPECT_GE(capped, milliseconds(240));
    EXPECT_LT(capped, milliseconds(1000));

    // 0 takes what is already there without waiting for more.
    pty.write("OK\r\x04");
    std::this_thread::sleep_for(milliseconds(30));
    EXPECT_EQ(com.receiveData(milliseconds(0)).bytes, "OK\r\x04");
}

TEST(SerialTransport, RefusesAHeldPortAndABaudRateItCannotTake) {
    PtyPair pty;
    const std::string address = pty.slavePath() + ":9600";
    SerialTransport first(address);
    ASSERT_TRUE(first.openConnection().ok());

    SerialTransport second(address);
    EXPECT_EQ(second.openConnection().error, TransportError::PortUnavailable);
    first.shutdownConnection();
    first.shutdownConnection();
    EXPECT_TRUE(second.openConnection().ok()) << "shutdown releases the port";
    second.shutdownConnection();
    // Its exclusive mode too, which a pseudo-terminal would keep against a driver not root.
    const int probe = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    int exclusive = 1;
    ASSERT_EQ(::ioctl(probe, TIOCGEXCL, &exclusive), 0);
    ::close(probe);
    EXPECT_EQ(exclusive, 0);

    for (const std::string baud : {"1234", "abc", "", "9600x", "-9600", "230400"}) {
        SerialTransport bad(pty.slavePath() + ":" + baud);
        const TransportResult refused = bad.openConnection();
        EXPECT_EQ(refused.error, TransportError::PortSetUpRefused) << baud;
        EXPECT_FALSE(bad.isSetUp());
        EXPECT_TRUE(refused.lost());
        EXPECT_NE(refused.reason.find(pty.slavePath() + " δεν ρυθμίζεται"), std::string::npos)
            << refused.reason;
        // A port in its cooked mode would echo the register's replies back: it is closed, not
        // used, and free for the next opening.
        EXPECT_TRUE(bad.sendData("KXCL").lost());
        EXPECT_EQ(pty.read(1, milliseconds(30)), "");
        SerialTransport good(address);
        EXPECT_TRUE(good.openConnection().ok()) << baud;
    }
}

// An adapter unplugged between two commands is seen without a byte sent or taken, so that the
// next job can wait for it; a read from it, or from a port that is missing, is quiet.
TEST(SerialTransport, AGoneOrMissingPortIsQuietNotBusy) {
    PtyPair pty;
    SerialTransport com(pty.slavePath() + ":9600");
    ASSERT_TRUE(com.openConnection().ok());
    pty.write("OK");
    EXPECT_TRUE(com.hungUp().ok());
    EXPECT_EQ(com.receiveData(milliseconds(100)).bytes, "OK");
    pty.closeMaster();
    const TransportResult hungUp = com.hungUp();
    EXPECT_TRUE(hungUp.lost());
    EXPECT_EQ(hungUp.reason,
              "η θύρα " + pty.slavePath() + " χάθηκε: η άλλη άκρη έκλεισε (hang-up)");
    EXPECT_FALSE(com.isSetUp());

    SerialTransport missing("/dev/merovan-no-such-port:9600");
    EXPECT_EQ(missing.openConnection().reason,
              "η θύρα /dev/merovan-no-such-port δεν ανοίγει: No such file or directory");
    for (SerialTransport* transport : {&com, &missing}) {
        testing::expectIdleRead(*transport, milliseconds(1000), milliseconds(240));
        // Either way nothing more will come through it until it is opened anew.
        EXPECT_TRUE(transport->sendData("KXCL").lost());
    }
}

// A write to a port that went away fails, and says why.
TEST(SerialTransport, AWriteToAGonePortLosesIt) {
    PtyPair pty;
    SerialTransport writer(pty.slavePath() + ":9600");
    ASSERT_TRUE(writer.openConnection().ok());
    pty.closeMaster();
    const TransportResult sent = writer.sendData("KXCL");
    EXPECT_TRUE(sent.lost());
    EXPECT_EQ(sent.reason, "η θύρα " + pty.slavePath() + " χάθηκε: Input/output error");
}

}  // namespace
}  // namespace merovan::link
