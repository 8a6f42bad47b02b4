#pragma once

#include "core/common/status_display.h"
#include "core/jobs/daily_report.h"
#include "core/link/link.h"

// The register's X and Z reports and the error clear, as the menus and jobs ask for them.
namespace merovan::supervision {

enum class Report {
    XFinancial,  // xrep0
    XPeriodic,   // xrep5
    ZDaily,      // zrep021, also asked for by jobs and the tray menu
    ZPeriodic,   // zrep521
};

// Runs one report; whatever the outcome, ends with the completion texts (a failure has been
// shown by the exchange itself). The caller decides what the controls do meanwhile.
void runReport(link::Link& link, common::StatusDisplay& display, Report report);

// The daily Z report as a job runs it.
class DailyZReport final : public jobs::DailyReport {
  public:
    DailyZReport(link::Link& link, common::StatusDisplay& display)
        : link_(link), display_(display) {}
    void run() override { runReport(link_, display_, Report::ZDaily); }

  private:
    link::Link& link_;
    common::StatusDisplay& display_;
};

// Sends "KXCL" to clear a pending register error; a failure is reported by the exchange.
void clearRegisterError(link::Link& link);

}  // namespace merovan::supervision
