// The monitor as the driver feeds it: a real driver and job interpreter on a scripted register.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "../driver/driver_fixture.h"
#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/link/register_errors.h"
#include "core/monitoring/driver_monitor.h"
#include "core/vat/vat_table.h"
#include "tools/register/scenario.h"

namespace merovan::testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const fs::path kSource = fs::path(MEROVAN_FIXTURES_DIR).parent_path().parent_path();

// Reads text with the Prometheus client's own OpenMetrics parser and checks that the shipped
// alert rules name only metrics it exports; the checker's exit status.
int checkMetrics(const std::string& text, const fs::path& scratch) {
    const fs::path file = scratch / "metrics.txt";
    std::ofstream(file, std::ios::binary) << text;
    const std::string command =
        "/usr/bin/python3 " + (kSource / "tests/monitoring/check_metrics.py").string() + " " +
        file.string() + " " + (kSource / "docs/monitoring/merovan-alerts.yml").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class MonitoredDriver : public DriverFixture {
  protected:
    MonitoredDriver() {
        observer_ = &monitor_;
        realInterpreter_ = true;
        params_.receipt.currency = settings::Currency::AsJob;
        register_.setResponder([this](const std::string& command) {
            std::vector<ScriptedTransport::Piece> pieces;
            for (auto& piece : sim::respond(scenario_, state_, command)) {
                pieces.push_back({piece.after, std::move(piece.bytes)});
            }
            return pieces;
        });
        EXPECT_TRUE(vat::saveVatRates(path(vat::kVatFileName), {24, 13, 6, 0, 17}));
        EXPECT_TRUE(eft::writeEftRecord(path(eft::kEftFileName), {1, 2, 1, -1}));
    }

    // The value of the metrics sample that begins with name (labels included).
    double sample(const std::string& name) const {
        const std::string text = monitor_.openMetricsText();
        const auto at = text.find("\n" + name + " ");
        if (at == std::string::npos) {
            ADD_FAILURE() << name << " missing in\n" << text;
            return -1;
        }
        return std::stod(text.substr(at + name.size() + 2));
    }
    // One item of 25.00, 12.50 of it paid with payment number `payment`.
    std::string job(const std::string& payment) const {
        return "resFile:  " + path("result.txt") + "\r\n PLU               MENU" +
               std::string(25, ' ') + "1.000      25.00      13   \r\n to    " + payment +
               "      12.50\r\n pay  1\r\n";
    }

    monitoring::DriverMonitor monitor_{"9.9.9"};
    sim::Scenario scenario_ = sim::Scenario::parse(
        "card KX1250T2P1 0.5 355OK 0001:x:VISA:1250:a:b:c:d:e:1234XXXX:AUTH77:TID9:r:42:B3\n"
        "error KX*T3 7\n");
    sim::RegisterState state_;
};

TEST_F(MonitoredDriver, JobsErrorsAndCardPaymentsAsTheDriverRanThem) {
    startPolling();
    EXPECT_EQ(monitor_.statusJson()["state"], "printing");
    EXPECT_EQ(monitor_.statusJson()["online"], true);

    write("print.1", job("1"));                     // paid by card
    write("print.2", job("3"));                     // refused by the register: DE7
    write("print.3", std::string("nul\0byte", 8));  // not a job
    driver_->pollTick();
    EXPECT_EQ(monitor_.statusJson()["queueLength"], 2);
    pollTicks(3);

    const auto status = monitor_.statusJson();
    EXPECT_EQ(status["queueLength"], 0);
    EXPECT_EQ(status["jobsPrinted"], 2);
    EXPECT_EQ(status["lastError"]["number"], 7);
    EXPECT_EQ(status["lastError"]["text"], link::registerErrorText("7").value());
    EXPECT_EQ(status["caption"], op_.caption());
    EXPECT_EQ(status["version"], "9.9.9");

    EXPECT_EQ(sample("merovan_jobs_total{outcome=\"done\",status=\"0\"}"), 1);
    EXPECT_EQ(sample("merovan_jobs_total{outcome=\"done\",status=\"7\"}"), 1);
    EXPECT_EQ(sample("merovan_jobs_total{outcome=\"refused\",status=\"-13\"}"), 1);
    EXPECT_EQ(sample("merovan_register_errors_total{number=\"7\"}"), 1);
    EXPECT_EQ(sample("merovan_card_payments_total{outcome=\"paid\"}"), 1);
    // Every command the register heard is one exchange, but for the "KXCL" that acknowledged
    // the refusal inside its exchange. The card payment waited for its terminal (0.5 s) and
    // then for the rest of its answer (2 s).
    const double exchanges = static_cast<double>(register_.sent().size() - 1);
    EXPECT_EQ(sample("merovan_exchange_duration_seconds_count"), exchanges);
    EXPECT_EQ(sample("merovan_exchange_duration_seconds_bucket{le=\"+Inf\"}"), exchanges);
    EXPECT_EQ(sample("merovan_exchange_duration_seconds_bucket{le=\"5.0\"}") -
                  sample("merovan_exchange_duration_seconds_bucket{le=\"2.5\"}"),
              1);

    EXPECT_EQ(checkMetrics(monitor_.openMetricsText(), dir_), 0);
}

TEST_F(MonitoredDriver, OnLineOnlyWhileTheRegisterAnswers) {
    silenceRegister();
    makeDriver();
    goOffline();
    EXPECT_EQ(monitor_.statusJson()["state"], "offline");
    EXPECT_EQ(monitor_.statusJson()["online"], false);
    EXPECT_EQ(sample("merovan_register_online"), 0);

    answerEveryCommand();
    driver_->clearError();
    driver_->supervisionTick();
    driver_->startPrinting();
    EXPECT_EQ(monitor_.statusJson()["online"], true);

    // A port lost while printing, and not to be opened again: the state still says printing,
    // the register is not on-line.
    register_.loseAtNextSend("unplugged");
    register_.setOpenStatus(link::TransportError::PortUnavailable, "unplugged");
    write("print.1", job("1"));
    driver_->pollTick();
    EXPECT_EQ(monitor_.statusJson()["state"], "printing");
    EXPECT_EQ(monitor_.statusJson()["online"], false);
}

TEST_F(MonitoredDriver, AJobCutShortByACrashCountsAsInterrupted) {
    leaveInterruptedJob(job("1"), "result.txt");
    makeDriver();
    ASSERT_TRUE(driver_->load());
    EXPECT_EQ(sample("merovan_jobs_total{outcome=\"interrupted\",status=\"0\"}"), 1);
    EXPECT_EQ(monitor_.statusJson()["jobsPrinted"], 0);
}

}  // namespace
}  // namespace merovan::testing
