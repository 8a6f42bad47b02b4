#include "core/supervision/reports.h"

#include <string>

namespace merovan::supervision {
namespace {

struct ReportCommand {
    const char* command;
    const char* status;
};

ReportCommand commandOf(Report report) {
    // The first text differs from the others by one accent; both are the program's own.
    static constexpr const char* kFirstStatus =
        "Εκτέλεση Ισοζυγίου!!! Παρακαλώ περιμένετε για την ολοκλήρωση του";
    static constexpr const char* kStatus =
        "Εκτέλεση Ισοζυγίου!!! Παρακαλώ περιμένετε για την ολοκληρωσή του";
    switch (report) {
        case Report::XFinancial:
            return {"KX0T1", kFirstStatus};
        case Report::XPeriodic:
            return {"KX5T1", kStatus};
        case Report::ZDaily:
            return {"KX021T1", kStatus};
        case Report::ZPeriodic:
            return {"KX521T1", kStatus};
    }
    return {"KX021T1", kStatus};
}

}  // namespace

void runReport(jobs::RegisterSession& session, common::StatusDisplay& display, Report report) {
    const ReportCommand which = commandOf(report);
    display.setStatus(which.status);
    session.send(which.command);
    display.setStatus("Το Ισοζύγιο ολοκληρώθηκε");
    display.setCaption("Merovan- Έτοιμο");
}

void clearRegisterError(jobs::RegisterSession& session) {
    session.send("KXCL");
}

std::optional<Report> reportNamed(std::string_view name) {
    if (name == "x") {
        return Report::XFinancial;
    }
    if (name == "x-period") {
        return Report::XPeriodic;
    }
    if (name == "z") {
        return Report::ZDaily;
    }
    if (name == "z-period") {
        return Report::ZPeriodic;
    }
    return std::nullopt;
}

}  // namespace merovan::supervision
