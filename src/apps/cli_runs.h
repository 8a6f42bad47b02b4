#pragma once

#include <optional>
#include <string>
#include <vector>

#include "apps/cli_signals.h"

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
// --report or --clear-error: one action against the register.
int runAction(const CliOptions& options, StopSignals& signals);
// --demo: a receipt printed on the built-in register simulator.
int runDemo(const CliOptions& options, StopSignals& signals);

}  // namespace merovan::cli
