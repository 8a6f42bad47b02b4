#pragma once

#include "core/common/operator.h"
#include "core/jobs/register_session.h"

// The register's X and Z reports and the error clear, as the menus and jobs ask for them.
namespace merovan::supervision {

enum class Report {
    XFinancial,  // xrep0
    XPeriodic,   // xrep5
    ZDaily,      // zrep021, also asked for by jobs and the tray menu
    ZPeriodic,   // zrep521
};

// Runs one report with Start disabled meanwhile; whatever the outcome, ends with Start
// enabled and the completion texts (a failure has been shown by the exchange itself).
void runReport(jobs::RegisterSession& session, common::Operator& op, Report report);

// Sends "KXCL" to clear a pending register error; a failure is reported by the exchange.
void clearRegisterError(jobs::RegisterSession& session);

}  // namespace merovan::supervision
