#include <chrono>
#include <cmath>
#include <limits>

#include "core/common/append_line.h"
#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/jobs/job_interpreter.h"
#include "core/jobs/job_numbers.h"
#include "core/jobs/register_text.h"
#include "core/jobs/sale_amounts.h"
#include "core/link/queries.h"

namespace merovan::jobs {
namespace {

using namespace std::chrono_literals;
using common::mid;
using common::trim;

constexpr std::size_t kFooterWidth = 28;
constexpr std::size_t kFooterPieces = 6;
constexpr int kFooterMinimumLines = 8;

}  // namespace

void JobInterpreter::lineTo(std::string_view line) {
    ++paymentLines_;
    fields_.linetype = kLinePayment;
    if (receipt().currency == settings::Currency::Secondary) {
        fields_.paymentType.assign(1, '2');
        fields_.price.clear();
        fields_.description = registerText(fields_.description);
        // The whole receipt is paid in the second currency once; later lines add nothing.
        if (paymentLines_ == 1) {
            sendLine(vatRateText_);
        }
        return;
    }
    fields_.paymentType = mid(line, 8, 1);
    std::string amount = mid(line, 11, 9);
    const auto type = common::parseNumber(fields_.paymentType, separator());
    const double amountValue = numericValue(amount, separator());
    if (!type || std::trunc(*type) == 0 || amountValue == 0) {
        return;
    }
    fields_.price = trim(amount);
    cleanAmounts(fields_.price, fields_.discount, fields_.addon);
    fields_.description = registerText(fields_.description);
    sendLine(vatRateText_);
}

void JobInterpreter::linePay(std::string_view line) {
    const std::string payment = "KXT" + mid(line, 7, 1);
    if (mayClose(payment)) {
        send(payment, true);
    }
    send("KXCL", true);
}

void JobInterpreter::lineSnd(std::string_view line) {
    // A bare "KX" would only cost the register's 20 s of silence; the POS still gets the
    // reply line it waits for, with the status saying why nothing went out.
    if (trim(mid(line, 7, 90)).empty()) {
        dropEmptyCommand();
        appendResult("sndReply = " +
                     std::to_string(link::statusNumber(link::LinkStatus::EmptyCommand)) + ";");
        return;
    }
    const link::LinkStatus status = send("KX" + mid(line, 7, 90), true);
    appendResult("sndReply = " + std::to_string(link::statusNumber(status)) + ";" +
                 common::replaceAll(reply_, "\n", "~"));
}

void JobInterpreter::lineFoo(std::string_view line) {
    const std::string text = prepareCommentText(mid(line, 7), greek_);
    for (std::size_t piece = 0; piece < kFooterPieces; ++piece) {
        std::string part = mid(text, piece * kFooterWidth + 1, kFooterWidth);
        if (!part.empty()) {
            footerLines_.push_back(std::move(part));
        }
    }
    context_.flags.footerPending = true;
}

void JobInterpreter::end() {
    context_.flags.transferPending = false;
    context_.flags.partialPaymentPending = false;
    context_.clock.sleep(250ms);
    appendResult("DateTime end = " + now());

    std::string openAmount;
    if (const auto table = common::parseNumber(openedTable_, separator())) {
        const double whole = std::floor(*table);
        // A table number no register can hold has no open amount to ask for.
        if (whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()) {
            openAmount = link::queryTableTotal(context_.session, static_cast<int>(whole));
        }
    }
    const int receiptStatus = numericValue(openAmount, separator()) == 0 ? 0 : 1;
    appendResult("recStatus = " + std::to_string(receiptStatus) + ";" + openAmount);
    appendResult("receipt = " + link::queryReceiptCounters(context_.session) + ", " +
                 std::to_string(closedReceipt_));
    appendResult("exitcode = " + std::to_string(exitCode_));
    printFooter();
}

void JobInterpreter::printFooter() {
    if (context_.flags.footerPending) {
        int printed = 0;
        for (const std::string& piece : footerLines_) {
            if (trim(piece).empty()) {
                continue;
            }
            if (printed == 0) {
                send("KXCO " + std::string(kFooterWidth, '-'), true);
            }
            // The transport ends every command with CR LF; adding one here would also put a
            // line break into the failure log line.
            send("KXCO " + piece);
            ++printed;
        }
        for (int blank = printed; printed > 0 && blank < kFooterMinimumLines; ++blank) {
            send("KXCO ");
        }
    }
    context_.flags.footerPending = false;
}

}  // namespace merovan::jobs
