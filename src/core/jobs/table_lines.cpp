#include <chrono>
#include <cmath>

#include "core/common/message_box.h"
#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/jobs/job_interpreter.h"
#include "core/jobs/job_numbers.h"
#include "core/link/queries.h"

namespace merovan::jobs {

using namespace std::chrono_literals;
using common::mid;
using common::trim;

JobInterpreter::Next JobInterpreter::rejectTable() {
    common::showMessageBox(context_.op, "Λάθος Αριθμός Τραπεζιού", common::buttons::kInformation);
    return Next::Abort;
}

JobInterpreter::Next JobInterpreter::lineTBO(std::string_view line) {
    openedTable_ = trim(mid(line, 6));
    const auto table = common::parseNumber(openedTable_, separator());
    if (!table) {
        return rejectTable();
    }
    // The register needs time around opening a table before it reports it open.
    context_.clock.sleep(1500ms);
    const link::LinkStatus opened = send("KX" + openedTable_ + "TO", true);
    context_.clock.sleep(1500ms);
    if (opened != link::LinkStatus::Success) {
        return Next::Abort;
    }
    return link::queryOpenTable(context_.session) == std::floor(*table) ? Next::Continue
                                                                        : Next::Abort;
}

JobInterpreter::Next JobInterpreter::lineTBC(std::string_view line) {
    if (!common::isNumeric(trim(mid(line, 6)), separator())) {
        return rejectTable();
    }
    if (link::queryOpenTable(context_.session) == -1) {
        if (context_.flags.transferPending) {
            send("KXTRFNO");
            send("KXTRFOK");
            context_.flags.transferPending = false;
        } else {
            send("KXCL");
        }
    } else if (mayClose("KXTO") && send("KXTO") == link::LinkStatus::Success) {
        closedReceipt_ = link::parseClosedReceipt(reply_);
    }
    return Next::Continue;
}

JobInterpreter::Next JobInterpreter::lineTransfer(std::string_view line, bool forPayment) {
    const std::int16_t from = toInt16(mid(line, 7, 3), separator());
    const std::int16_t to = toInt16(mid(line, 11, 3), separator());
    if (from == -1 || to == -1) {
        if (!forPayment) {
            appendResult(
                "Err = " + std::to_string(link::statusNumber(link::LinkStatus::WrongTableNumber)) +
                ", (Wrong Table Number) DateTime end = " + now());
        }
        return rejectTable();
    }
    if (send("KXTRF") != link::LinkStatus::Success) {
        if (forPayment) {
            context_.flags.transferPending = false;
        }
        return Next::Abort;
    }
    if (send("KXFROM" + std::to_string(from) + "TO" + std::to_string(to) + "PAR") !=
        link::LinkStatus::Success) {
        return Next::Abort;
    }
    if (forPayment) {
        context_.flags.transferPending = true;
    }
    return Next::Continue;
}

JobInterpreter::Next JobInterpreter::lineTBS(std::string_view line) {
    const std::int16_t table = toInt16(mid(line, 7, 3), separator());
    if (table == -1) {
        return rejectTable();
    }
    if (send("KXPPAY") != link::LinkStatus::Success) {
        context_.flags.partialPaymentPending = false;
        return Next::Abort;
    }
    if (send("KXFROM" + std::to_string(table)) != link::LinkStatus::Success) {
        return Next::Abort;
    }
    context_.flags.partialPaymentPending = true;
    return Next::Continue;
}

void JobInterpreter::lineLtb() {
    appendResult("tblList   = " + link::queryTableList(context_.session));
}

}  // namespace merovan::jobs
