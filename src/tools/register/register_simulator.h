#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/register/register_state.h"
#include "tools/register/scenario.h"

namespace merovan::sim {

// A fiscal register for tests and demos, on its own thread. It listens on a new
// pseudo-terminal (commands end in CR LF) or on a UDP address (one datagram a command),
// answers each command with its reply and EOT, keeps the register's state, misbehaves as its
// scenario says, and records every command it received.
class RegisterSimulator {
  public:
    struct Options {
        enum class Mode { Pty, Udp };
        Mode mode = Mode::Pty;
        // UDP only: where to listen. Port 0 takes a free port; endpoint() tells which.
        std::string udpAddress = "127.0.0.2";
        std::uint16_t udpPort = 5012;
        // Every command received, one a line ending in LF, exactly as it came without its
        // CR LF. Empty: kept in memory only.
        std::string trafficFile;
        // The receipt log (RegisterState), a line as each receipt or table is closed or
        // voided, and at stop what is still open. Empty: kept in memory only.
        std::string receiptLogFile;
        Scenario scenario;
        // Kills the driver with SIGKILL when the atCommand-th command (counted from 1) comes:
        // after carrying it out and before answering, or, with beforeApplying, instead of
        // carrying it out. The process is pid, or the number in pidFile, read at that moment
        // (waited for up to 5 s). 0: never.
        struct KillPoint {
            std::size_t atCommand = 0;
            bool beforeApplying = false;
            int pid = 0;
            std::string pidFile;
        } kill;
    };

    explicit RegisterSimulator(Options options);
    ~RegisterSimulator();
    RegisterSimulator(const RegisterSimulator&) = delete;
    RegisterSimulator& operator=(const RegisterSimulator&) = delete;

    // Opens the endpoint and starts answering. Throws std::runtime_error when the endpoint
    // cannot be made (a UDP address in use, no pseudo-terminals).
    void start();
    // Stops answering and closes the endpoint; also done on destruction.
    void stop();

    // What the driver is given as its port: the pseudo-terminal's device ("/dev/pts/7") or
    // "address:port".
    std::string endpoint() const;
    // The commands received so far, in order.
    std::vector<std::string> traffic() const;
    // Waits until at least count commands have come; false on time-out.
    bool waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const;
    // The receipt log so far, open receipt and table excluded.
    std::vector<std::string> receiptLog() const;
    // A copy of the register's state.
    RegisterState state() const;
    // Replaces the scenario from the next command on.
    void setScenario(Scenario scenario);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace merovan::sim
