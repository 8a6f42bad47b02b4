// merovan-cli: the driver without a window, for servers, scheduled jobs and POS programs.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "apps/cli_console.h"
#include "apps/cli_runs.h"
#include "apps/cli_service.h"
#include "apps/cli_signals.h"
#include "apps/cli_status.h"
#include "apps/http_interface.h"
#include "core/common/file_size_signal.h"

namespace {

const char* const kDescription =
    R"(merovan-cli: the Merovan fiscal register driver without a window.

Without arguments it runs in the working directory like the desktop program: it reads
param.ini, finds the register, and prints every job the POS program drops into the
exchange directory. Operator messages go to standard error as time-stamped lines.

With the six fields a POS program passes (link address, baud, job file, delay, register
family, seven option characters, separated by commas or blanks) it prints that one job
and exits:
  merovan-cli com1:9600,9600,/pos/job.txt,0,vesko,1111111

Exit statuses of that one-job run: 0 job read to its end, 1 a table line aborted it,
2 the job file could not be read, 3 the option string is too short, 4 gave up waiting
for the register. 5: param.ini missing or unreadable.

--status asks the driver running in the working directory how it is: exit status 0 the
register is on-line, 1 it is not, 2 no driver runs there.)";

std::string joined(const std::vector<std::string>& words) {
    std::string line;
    for (const auto& word : words) {
        line += (line.empty() ? "" : " ") + word;
    }
    return line;
}

int run(int argc, char** argv) {
    merovan::cli::StopSignals signals;
    const merovan::cli::Utf8Console console;
    std::vector<std::string> args(argv + 1, argv + argc);
    merovan::cli::CliOptions options;

    // A POS program passes its six fields as they are; only a line that begins with "--" is
    // read as options, so no field is ever mistaken for one.
    if (!args.empty() && !args.front().starts_with("--")) {
        return merovan::cli::runCommandLine(joined(args), options, signals);
    }

    CLI::App app(kDescription, "merovan-cli");
    std::string workdir;
    bool demo = false;
    bool status = false;
    bool json = false;
    int giveUpAfter = 0;
    std::vector<std::string> line;
    app.add_option("--workdir", workdir,
                   "where param.ini, vats.dat and payeft.dat live (default: here)")
        ->check(CLI::ExistingDirectory);
    app.add_flag("--trace", options.trace, "the register traffic on standard error");
    app.add_option("--report", options.report, "run one report and exit")
        ->check(CLI::IsMember({"x", "x-period", "z", "z-period"}));
    app.add_flag("--clear-error", options.clearError, "clear the register's error and exit");
    app.add_flag("--demo", demo,
                 "print a sample receipt on the built-in register simulator and show the "
                 "traffic and the result file");
    auto* giveUp = app.add_option("--give-up-after", giveUpAfter,
                                  "stop waiting for the register after SECONDS (exit 4)")
                       ->check(CLI::PositiveNumber);
    app.add_option("--result-dir", options.resultDirs,
                   "allow result files only in DIR and below (repeatable; relative to the "
                   "working directory); without it a job may name any result file but the "
                   "driver's own files");
    app.add_flag("--status", status,
                 "how the driver running in the working directory is (exit 0 on-line, 1 "
                 "off-line, 2 not running)");
    app.add_flag("--json", json, "with --status: the status as JSON")->needs("--status");
    merovan::cli::ServiceRequest service;
    merovan::cli::addServiceOptions(app, service);
    app.add_option("--http", options.http,
                   "serve the HTTP/JSON interface on ADDRESS:PORT (127.0.0.1 unless a "
                   "token-file in merovan.conf allows another address)");
    app.add_option("line", line, "the six fields of a POS program's command line");
    app.set_version_flag("--version", std::string("merovan-cli ") + MEROVAN_VERSION);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& failure) {
        return app.exit(failure);
    }
    if (*giveUp) {
        options.giveUpAfter = giveUpAfter;
    }
    std::error_code changed;
    if (!workdir.empty() && (std::filesystem::current_path(workdir, changed), changed)) {
        std::fprintf(stderr, "merovan-cli: --workdir: %s\n", changed.message().c_str());
        return merovan::cli::kCannotStart;
    }
    for (auto& dir : options.resultDirs) {
        std::error_code wrong;
        if (!std::filesystem::is_directory(dir, wrong)) {
            std::fprintf(stderr, "merovan-cli: --result-dir %s: not a directory\n", dir.c_str());
            return merovan::cli::kCannotStart;
        }
        dir = std::filesystem::absolute(dir, wrong).string();
    }
    if (status) {
        // A driver that serves the network interface answers there; otherwise its status file.
        return merovan::cli::printStatus(
            [] {
                auto answer = merovan::apps::statusOverHttp();
                return answer ? answer : merovan::cli::statusFromFile();
            },
            json);
    }
    if (const auto exitStatus = merovan::cli::runServiceRequest(service, options)) {
        return *exitStatus;
    }
    if (demo) {
        return merovan::cli::runDemo(options, signals);
    }
    if (!line.empty()) {
        return merovan::cli::runCommandLine(joined(line), options, signals);
    }
    if (!options.report.empty() || options.clearError) {
        return merovan::cli::runAction(options, signals);
    }
    return merovan::cli::runPolling(options, signals);
}

}  // namespace

int main(int argc, char** argv) {
    merovan::common::ignoreFileSizeSignal();
    // Whatever fails unexpectedly is said in plain words rather than ending in an abort.
    try {
        return run(argc, argv);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "merovan-cli: %s\n", failure.what());
        return merovan::cli::kCannotStart;
    }
}
