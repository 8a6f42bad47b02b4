#pragma once

#include <optional>
#include <string_view>

#include "core/common/status_display.h"
#include "core/jobs/daily_report.h"
#include "core/jobs/register_session.h"

// The register's X and Z reports and the error clear, as the menus and jobs ask for them.
namespace merovan::supervision {

enum class Report {
    XFinancial,  // xrep0
    XPeriodic,   // xrep5
    ZDaily,      // zrep021, also asked for by jobs and the tray menu
    ZPeriodic,   // zrep521
};

// The report of a name as the command line and the network interface spell it: x, x-period,
// z, z-period; none for any other.
std::optional<Report> reportNamed(std::string_view name);

// Runs one report; whatever the outcome, ends with the completion texts (a failure has been
// shown by the exchange itself). The caller decides what the controls do meanwhile.
void runReport(jobs::RegisterSession& session, common::StatusDisplay& display, Report report);

// The daily Z report as a job runs it.
class DailyZReport final : public jobs::DailyReport {
  public:
    DailyZReport(jobs::RegisterSession& session, common::StatusDisplay& display)
        : session_(session), display_(display) {}
    void run() override { runReport(session_, display_, Report::ZDaily); }

  private:
    jobs::RegisterSession& session_;
    common::StatusDisplay& display_;
};

// Sends "KXCL" to clear a pending register error; a failure is reported by the exchange.
void clearRegisterError(jobs::RegisterSession& session);

}  // namespace merovan::supervision
