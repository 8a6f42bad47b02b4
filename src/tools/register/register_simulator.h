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
        Scenario scenario;
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
    // A copy of the register's state.
    RegisterState state() const;
    // Replaces the scenario from the next command on.
    void setScenario(Scenario scenario);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace merovan::sim
