#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "apps/cli_operator.h"
#include "apps/cli_runs.h"
#include "core/common/codepage.h"
#include "core/common/locale_decimal.h"
#include "core/driver/driver_loop.h"
#include "core/eft/eft_table.h"
#include "core/link/system_transport_factory.h"
#include "core/settings/param_file.h"
#include "core/vat/vat_table.h"
#include "tools/register/register_simulator.h"

namespace merovan::cli {
namespace {

using namespace std::chrono_literals;

// One job line: text placed at 1-based columns, the rest blank. Columns count code page 1253
// bytes, so a text is converted before it is placed.
class JobLine {
  public:
    JobLine& at(std::size_t column, std::string_view utf8) {
        const std::string text = common::utf8ToCp1253(utf8);
        if (line_.size() < column - 1 + text.size()) {
            line_.resize(column - 1 + text.size(), ' ');
        }
        std::copy(text.begin(), text.end(),
                  line_.begin() + static_cast<std::ptrdiff_t>(column - 1));
        return *this;
    }
    std::string str() const { return line_ + "\r\n"; }

  private:
    std::string line_;
};

std::string saleLine(std::string_view description, std::string_view quantity,
                     std::string_view price, std::string_view vat) {
    return JobLine()
        .at(2, "PLU")
        .at(20, description)
        .at(48, quantity)
        .at(57, price)
        .at(69, vat)
        .str();
}

// Two items, a discount on the second, the subtotal, a card payment that settles the receipt
// and a footer.
std::string sampleJob(const std::string& resultFile) {
    return "resFile:  " + resultFile + "\r\n" + "tag:  DEMO\r\n" +
           saleLine("ΚΑΦΕΣ ΕΛΛΗΝΙΚΟΣ", "1.000", "2.50", "24") +
           saleLine("ΤΥΡΟΠΙΤΑ", "2.000", "1.80", "13") +
           JobLine().at(2, "dis").at(7, "0.30").str() + JobLine().at(2, "sut").at(7, "5.80").str() +
           JobLine().at(2, "to").at(8, "2").at(11, "5.80").str() +
           JobLine().at(2, "foo").at(7, "ΕΥΧΑΡΙΣΤΟΥΜΕ ΠΟΛΥ").str();
}

bool writeSetup(const std::filesystem::path& dir, const std::string& endpoint, std::string& error) {
    settings::ParamDialogValues values;
    values.port = endpoint;
    values.baud = "9600";
    values.file = "print";
    values.registerFamily = "VeskoTan";
    values.multiType = true;
    values.printDesc = true;
    values.comments = true;
    values.currency = settings::CurrencyChoice::AsJob;
    values.location = (dir / "").string();
    const auto written = settings::writeParamFile((dir / "param.ini").string(), values,
                                                  common::SystemClock().localDateTime());
    if (!written) {
        error = written.error().what;
        return false;
    }
    if (!vat::saveVatRates((dir / vat::kVatFileName).string(), {24, 13, 6, 0, 17})) {
        error = "vats.dat";
        return false;
    }
    // Payment 2 is a card payment on terminal 1.
    if (!eft::writeEftRecord((dir / eft::kEftFileName).string(), {2, 2, 1, -1})) {
        error = "payeft.dat";
        return false;
    }
    return true;
}

// Commands carry the register's own character set: bytes outside ASCII are shown as \xHH.
std::string printable(const std::string& command) {
    std::string shown;
    for (const unsigned char byte : command) {
        if (byte >= 0x20 && byte < 0x7f) {
            shown += static_cast<char>(byte);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int runDemo(const CliOptions& options, StopSignals& signals) {
    char pattern[] = "/tmp/merovan-demo-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("merovan-cli: temporary directory");
        return 1;
    }
    const std::filesystem::path dir = pattern;

    sim::RegisterSimulator::Options simOptions;
    simOptions.mode = sim::RegisterSimulator::Options::Mode::Pty;
    // The card terminal answers two seconds after the register took the payment.
    simOptions.scenario = sim::Scenario::parse(
        "card KX*T2P1 2 "
        "358OK 0001:1:VISA:580:0:0:0:0:0:4111XXXXXXXX1111:AUTH99:TID01:0:000042:BATCH7\n");
    sim::RegisterSimulator simulator(simOptions);
    simulator.start();

    std::string error;
    if (!writeSetup(dir, simulator.endpoint(), error)) {
        std::fprintf(stderr, "merovan-cli: cannot write the demo setup: %s\n", error.c_str());
        return 1;
    }
    const auto resultFile = dir / "result.txt";
    std::ofstream(dir / "print.1", std::ios::binary) << sampleJob(resultFile.string());
    std::printf("Exchange directory: %s\nRegister simulator: %s\n\n", dir.c_str(),
                simulator.endpoint().c_str());
    std::fflush(stdout);

    common::SystemClock clock;
    LogOperator op(clock, options.trace);
    driver::DriverOptions driverOptions;
    driverOptions.workDir = dir.string();
    driverOptions.endMarker = (dir / "end.txt").string();
    driverOptions.decimalSeparator = common::localeDecimalSeparator();
    driverOptions.startWhenOnline = true;
    driver::DriverServices services;
    services.transports = link::systemTransportFactory();
    std::atomic<bool> done{false};
    driver::DriverLoop* loopInUse = nullptr;
    services.afterJob = [&](const std::string&, const jobs::JobOutcome&) {
        done = true;
        loopInUse->requestStop();
    };
    driver::Driver driver(op, clock, std::move(services), driverOptions);
    if (!driver.load()) {
        return kCannotStart;
    }
    driver::DriverLoop loop(driver);
    loopInUse = &loop;
    signals.onStop([&loop] { loop.requestStop(); });
    loop.startThread();
    // A demo that hangs teaches nothing: it gives up after a minute.
    for (int i = 0; i < 600 && !done && !signals.stopped(); ++i) {
        std::this_thread::sleep_for(100ms);
    }
    loop.requestStop();
    loop.join();
    signals.onStop({});
    driver.shutdown();

    std::printf("\n== Register traffic (commands as received)\n");
    for (const auto& command : simulator.traffic()) {
        std::printf("%s\n", printable(command).c_str());
    }
    std::string result = common::cp1253ToUtf8(readFile(resultFile));
    std::erase(result, '\r');
    std::printf("\n== Result file %s\n%s", resultFile.c_str(), result.c_str());
    simulator.stop();
    return done ? 0 : 1;
}

}  // namespace merovan::cli
