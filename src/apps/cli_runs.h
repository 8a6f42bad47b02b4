#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli_signals.h"
#include "core/common/clock.h"
#include "core/common/operator.h"

namespace merovan::driver {
class DriverLoop;
}

namespace merovan::cli {

struct CliOptions {
    bool trace = false;
    std::string report;  // x, x-period, z, z-period
    bool clearError = false;
    std::optional<int> giveUpAfter;  // seconds
    // When not empty, result files must lie in these directories.
    std::vector<std::string> resultDirs;
    // --http ADDRESS:PORT: the network interface (also from merovan.conf).
    std::string http;
};

// Exit status when the program could not start: param.ini missing or unreadable.
inline constexpr int kCannotStart = 5;

// The six-field command line of a POS program: one job, then the program ends.
int runCommandLine(const std::string& line, const CliOptions& options, StopSignals& signals);
// No job named: poll the exchange directory until a signal comes.
int runPolling(const CliOptions& options, StopSignals& signals);
// The same with the operator and clock of the caller (the Windows service). attach is called
// on the loop's thread with the loop once it runs and with nullptr before it returns, so that
// other threads may stop it or post operator actions to it in between.
using LoopAttach = std::function<void(driver::DriverLoop*)>;
int runPolling(const CliOptions& options, common::Operator& op, common::Clock& clock,
               const LoopAttach& attach);
// --report or --clear-error: one action against the register.
int runAction(const CliOptions& options, StopSignals& signals);
// --demo: a receipt printed on the built-in register simulator.
int runDemo(const CliOptions& options, StopSignals& signals);

}  // namespace merovan::cli
