#include "apps/cli_runs.h"

#include <cstdio>
#include <thread>

#include "apps/cli_operator.h"
#include "apps/driver_watch.h"
#include "core/common/codepage.h"
#include "core/common/locale_decimal.h"
#include "core/driver/driver_loop.h"
#include "core/link/system_transport_factory.h"
#include "core/settings/command_line.h"

namespace merovan::cli {
namespace {

using namespace std::chrono_literals;

// printWhenOnline: nobody is there to press Start. An off-line register is asked again, as
// nobody is there to restart the program for a register that is switched on late.
driver::Driver makeDriver(common::Operator& op, common::Clock& clock, const CliOptions& cli,
                          bool printWhenOnline = true, common::DriverObserver* observer = nullptr,
                          driver::PostedJobs* posted = nullptr) {
    driver::DriverServices services;
    services.observer = observer;
    services.transports = link::systemTransportFactory();
    driver::DriverOptions options;
    options.decimalSeparator = common::localeDecimalSeparator();
    options.startWhenOnline = printWhenOnline;
    options.retryWhileOffline = 10s;
    options.resultDirs = cli.resultDirs;
    options.postedJobs = posted;
    return driver::Driver(op, clock, std::move(services), std::move(options));
}

int statusOfExchange(link::LinkStatus status) {
    if (status == link::LinkStatus::Success) {
        return 0;
    }
    return link::statusNumber(status) > 0 ? 1 : driver::GaveUp;
}

}  // namespace

int runCommandLine(const std::string& line, const CliOptions& options, StopSignals& signals) {
    const auto fields = settings::parseCommandLine(line);
    const auto parsed = settings::settingsFromCommandLine(fields);
    if (parsed.optionsTooShort) {
        std::fputs((common::cp737ToUtf8(settings::farewellText()) + "\n").c_str(), stdout);
        return driver::OptionsTooShort;
    }
    common::SystemClock clock;
    LogOperator op(clock, options.trace);
    auto driver = makeDriver(op, clock, options);
    std::optional<std::chrono::seconds> giveUp;
    if (options.giveUpAfter) {
        giveUp = std::chrono::seconds(*options.giveUpAfter);
    }
    const int status = driver.runCommandLine({parsed.settings, fields[2], line}, giveUp,
                                             [&signals] { return signals.stopped(); });
    driver.shutdown();
    return status;
}

int runPolling(const CliOptions& options, StopSignals& signals) {
    common::SystemClock clock;
    LogOperator op(clock, options.trace);
    return runPolling(options, op, clock, [&signals](driver::DriverLoop* loop) {
        if (loop != nullptr) {
            signals.onStop([loop] { loop->requestStop(); });
        } else {
            signals.onStop({});
        }
    });
}

int runPolling(const CliOptions& options, common::Operator& op, common::Clock& clock,
               const LoopAttach& attach) {
    // The status file, the service manager, --status and the network interface follow the
    // driver through its watch.
    auto watch = apps::DriverWatch::prepare(options.http);
    if (!watch) {
        op.log("merovan-cli: " + watch.error().what);
        return kCannotStart;
    }
    auto& outside = **watch;
    if (!outside.problem().empty()) {
        op.log(outside.problem());
    }
    auto driver = makeDriver(op, clock, options, true, outside.observer(), outside.postedJobs());
    if (!driver.load()) {
        return kCannotStart;
    }
    driver::DriverLoop loop(driver);
    if (const auto attached = outside.attach(loop); !attached) {
        op.log("merovan-cli: " + attached.error().what);
        return kCannotStart;
    }
    attach(&loop);
    loop.run();
    attach(nullptr);
    outside.detach();
    driver.shutdown();
    op.log("Τερματισμός Merovan");
    return 0;
}

int runAction(const CliOptions& options, StopSignals& signals) {
    common::SystemClock clock;
    LogOperator op(clock, options.trace);
    auto driver = makeDriver(op, clock, options, false);
    if (!driver.load()) {
        return kCannotStart;
    }
    if (options.clearError) {
        driver.clearError();
        const int status = statusOfExchange(driver.session().lastStatus());
        driver.shutdown();
        return status;
    }
    const auto report = supervision::reportNamed(options.report);
    std::optional<common::Clock::TimePoint> giveUpAt;
    if (options.giveUpAfter) {
        giveUpAt = clock.now() + std::chrono::seconds(*options.giveUpAfter);
    }
    // Supervision finds the register, as it does before printing; no wait outlasts the limit.
    driver.link().setGiveUpAt(giveUpAt);
    while (!common::controlsOf(driver.state()).reports) {
        if (signals.stopped() || (giveUpAt && clock.now() >= *giveUpAt)) {
            driver.shutdown();
            return driver::GaveUp;
        }
        driver.supervisionTick();
        if (!common::controlsOf(driver.state()).reports) {
            auto pause = std::chrono::steady_clock::duration(1000ms);
            if (giveUpAt) {
                pause = std::max(std::min(pause, *giveUpAt - clock.now()),
                                 std::chrono::steady_clock::duration::zero());
            }
            clock.sleep(std::chrono::ceil<std::chrono::milliseconds>(pause));
        }
    }
    driver.link().setGiveUpAt(std::nullopt);
    driver.report(*report);
    const int status = statusOfExchange(driver.session().lastStatus());
    driver.shutdown();
    return status;
}

}  // namespace merovan::cli
