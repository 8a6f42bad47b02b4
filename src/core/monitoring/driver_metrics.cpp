// The monitor's counters as an OpenMetrics text exposition.
#include <array>
#include <charconv>

#include "core/monitoring/driver_monitor.h"

namespace merovan::monitoring {
namespace {

const char* endingName(common::JobEnding ending) {
    switch (ending) {
        case common::JobEnding::Done:
            return "done";
        case common::JobEnding::Aborted:
            return "aborted";
        case common::JobEnding::Refused:
            return "refused";
        case common::JobEnding::Interrupted:
            return "interrupted";
    }
    return "done";
}

const char* cardName(common::CardOutcome outcome) {
    switch (outcome) {
        case common::CardOutcome::Paid:
            return "paid";
        case common::CardOutcome::Declined:
            return "declined";
        case common::CardOutcome::Failed:
            return "failed";
        case common::CardOutcome::Late:
            return "late";
        case common::CardOutcome::PaidLate:
            return "paid-late";
    }
    return "failed";
}

std::string number(double value) {
    // The shortest text that reads back as the same value.
    std::array<char, 64> text{};
    const auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    std::string shown(text.data(), written.ptr);
    // A whole number is written as a float, as the format's examples do.
    if (shown.find_first_of(".eE") == std::string::npos) {
        shown += ".0";
    }
    return shown;
}

// A label value with backslash, double quote and line feed escaped.
std::string escaped(const std::string& value) {
    std::string text;
    for (const char c : value) {
        if (c == '\\' || c == '"') {
            text += '\\';
            text += c;
        } else if (c == '\n') {
            text += "\\n";
        } else {
            text += c;
        }
    }
    return text;
}

void family(std::string& out, const char* name, const char* type, const char* help,
            const char* unit = nullptr) {
    out += std::string("# TYPE ") + name + " " + type + "\n";
    if (unit != nullptr) {
        out += std::string("# UNIT ") + name + " " + unit + "\n";
    }
    out += std::string("# HELP ") + name + " " + help + "\n";
}

}  // namespace

std::string DriverMonitor::openMetricsText() const {
    std::lock_guard lock(mutex_);
    std::string out;
    family(out, "merovan_build", "info", "The driver's version.");
    out += "merovan_build_info{version=\"" + escaped(version_) + "\"} 1\n";

    family(out, "merovan_start_time_seconds", "gauge",
           "When the driver started, in seconds since 1970.", "seconds");
    out += "merovan_start_time_seconds " + number(started_) + "\n";

    family(out, "merovan_register_online", "gauge",
           "1 while the register has been found and answers, else 0.");
    out += std::string("merovan_register_online ") + (isOnline() ? "1" : "0") + "\n";

    family(out, "merovan_jobs_waiting", "gauge", "Jobs waiting to be printed.");
    out += "merovan_jobs_waiting " + std::to_string(s_.queueLength) + "\n";

    family(out, "merovan_jobs", "counter",
           "Jobs by how they ended; status: a refused job's result-file number, or a printed "
           "job's first failure (0: none).");
    for (const auto ending : {common::JobEnding::Done, common::JobEnding::Aborted,
                              common::JobEnding::Refused, common::JobEnding::Interrupted}) {
        if (!s_.jobs.contains({ending, 0}) && ending != common::JobEnding::Refused) {
            out += std::string("merovan_jobs_total{outcome=\"") + endingName(ending) +
                   "\",status=\"0\"} 0\n";
        }
    }
    for (const auto& [key, count] : s_.jobs) {
        out += std::string("merovan_jobs_total{outcome=\"") + endingName(key.first) +
               "\",status=\"" + std::to_string(key.second) + "\"} " + std::to_string(count) + "\n";
    }

    family(out, "merovan_register_errors", "counter",
           "Failed exchanges by the number a result file gives them: positive, the register's "
           "error number; negative, the link's failure.");
    for (const auto& [status, count] : s_.errors) {
        out += "merovan_register_errors_total{number=\"" + std::to_string(status) + "\"} " +
               std::to_string(count) + "\n";
    }

    family(out, "merovan_exchange_duration_seconds", "histogram",
           "How long each command exchange with the register took.", "seconds");
    for (std::size_t i = 0; i < ExchangeHistogram::kBounds.size(); ++i) {
        out += "merovan_exchange_duration_seconds_bucket{le=\"" +
               number(ExchangeHistogram::kBounds[i]) + "\"} " +
               std::to_string(s_.exchanges.bucket(i)) + "\n";
    }
    out += "merovan_exchange_duration_seconds_bucket{le=\"+Inf\"} " +
           std::to_string(s_.exchanges.count()) + "\n";
    out += "merovan_exchange_duration_seconds_count " + std::to_string(s_.exchanges.count()) + "\n";
    out += "merovan_exchange_duration_seconds_sum " + number(s_.exchanges.sum()) + "\n";

    family(out, "merovan_card_payments", "counter", "Card payments by outcome.");
    for (const auto outcome :
         {common::CardOutcome::Paid, common::CardOutcome::Declined, common::CardOutcome::Failed,
          common::CardOutcome::Late, common::CardOutcome::PaidLate}) {
        const auto found = s_.cards.find(outcome);
        out += std::string("merovan_card_payments_total{outcome=\"") + cardName(outcome) + "\"} " +
               std::to_string(found == s_.cards.end() ? 0 : found->second) + "\n";
    }
    out += "# EOF\n";
    return out;
}

}  // namespace merovan::monitoring
