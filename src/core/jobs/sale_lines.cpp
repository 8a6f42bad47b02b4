#include <algorithm>
#include <cmath>
#include <limits>

#include "core/common/codepage.h"
#include "core/common/message_box.h"
#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/jobs/job_interpreter.h"
#include "core/jobs/job_numbers.h"
#include "core/jobs/register_text.h"
#include "core/jobs/sale_amounts.h"
#include "core/jobs/vat_category.h"

namespace merovan::jobs {
namespace {

using common::left;
using common::mid;
using common::right;
using common::trim;

// The quantity written in front of a tar48 description, which holds 20 characters.
std::string tar48Description(const std::string& quantity, const std::string& description) {
    std::string count = quantity.size() >= 4 ? quantity.substr(0, quantity.size() - 4) : "";
    std::size_t room = 18;
    if (right(quantity, 3) != "000") {
        count += ',';
        count += right(quantity, 3);
        room = 17;
    }
    const std::size_t keep = room > count.size() ? room - count.size() : 0;
    return left(count + "* " + left(description, keep), 20);
}

}  // namespace

void JobInterpreter::lineMKZ() {
    context_.dailyReport.run();
}

void JobInterpreter::linePLU(std::string_view line) {
    const std::string working = receipt().printDescription == settings::Flag::Off
                                    ? std::string()
                                    : common::toUpper1253(mid(line, 20, 24));
    std::string price = mid(line, 57, 9);
    if (price == "      ") {
        price = "1";
    }
    fields_.price = toLocaleDecimal(trim(price), -1, separator());
    fields_.quantity = toLocaleDecimal(trim(mid(line, 48, 7)), 3, separator());
    if (!common::isNumeric(fields_.quantity, separator())) {
        common::showMessageBox(context_.op,
                               "Η ποσότητα του είδους δεν είναι αριθμός, δεν πουλήθηκε",
                               common::buttons::kExclamation);
        noteDropped(link::LinkStatus::QuantityNotNumber);
        return;
    }

    if (!ratesLoaded_) {
        const auto rates = vat::loadVatRates(settings_.workDir + "/" + vat::kVatFileName);
        if (rates) {
            rates_ = *rates;
        } else {
            context_.op.log(
                rates.error().what);  // every rate reads as 0: no item finds its category
        }
        ratesLoaded_ = true;
    }
    const VatCategory vat = findVatCategory(mid(line, 69, 5), mid(line, 20, 24), mid(line, 74, 3),
                                            receipt().directDepartment, rates_, separator());
    fields_.category = vat.category;
    vatRateText_ = vat.rateText;

    if (receipt().printCode != settings::PrintCodeChoice::None) {
        const bool asText = receipt().printCode == settings::PrintCodeChoice::AsText;
        fields_.code.assign(1, asText ? 'A' : 'N').append(mid(line, 6, 14));
    }

    fields_.description = working;
    if (receipt().printQuantity && receipt().printDescription == settings::Flag::On &&
        fields_.quantity != "1.000") {
        if (receipt().registerFamily == settings::RegisterFamily::Vesko) {
            fields_.description = left(fields_.description, 24);
        } else if (receipt().registerFamily == settings::RegisterFamily::Tar48) {
            fields_.description = tar48Description(fields_.quantity, fields_.description);
        }
    }

    fields_.linetype = kLineSale;
    fields_.description = registerText(fields_.description, true);
    if (fields_.category.empty()) {
        common::showMessageBox(context_.op, "Ανύπαρκτη κατηγορία ΦΠΑ ",
                               common::buttons::kExclamation);
        noteDropped(link::LinkStatus::UnknownVatCategory);
        return;
    }
    sendLine(fields_.category);
}

void JobInterpreter::lineDis(std::string_view line) {
    fields_.discount = trim(mid(line, 7, 8));
    cleanAmounts(fields_.price, fields_.discount, fields_.addon);
    if (fields_.discount.starts_with('-')) {
        fields_.addon = mid(fields_.discount, 2, 7);
        fields_.discount.clear();
        cleanAmounts(fields_.price, fields_.discount, fields_.addon);
    }
    fields_.linetype = kLineItemAdjustment;
    fields_.description = registerText(fields_.description);
    sendLine(vatRateText_);
}

void JobInterpreter::lineSut(std::string_view line) {
    const auto value = common::parseNumber(trim(mid(line, 7, 10)), separator());
    context_.flags.zeroTotalReceipt = value && *value == 0;
}

void JobInterpreter::lineMod(std::string_view line) {
    std::string m = common::removeAll(common::removeAll(trim(mid(line, 7, 9)), ','), '.');
    const bool percent = m.ends_with('%');
    if (percent) {
        m.pop_back();
    }
    if (!common::isNumeric(m, separator())) {
        return;
    }
    const std::string description = receipt().registerFamily == settings::RegisterFamily::Tar48
                                        ? std::string()
                                        : trim(mid(line, 17, 24));
    fields_.description = registerText(description);

    const bool minus = m.starts_with('-');
    if (percent && minus) {
        fields_.linetype = kLinePercentDiscount;
        fields_.percentDiscount = common::trimLeft(mid(m, 2, 8));
        if (fields_.percentDiscount.empty() ||
            numericValue(fields_.percentDiscount, separator()) == 0) {
            return;
        }
    } else if (percent) {
        fields_.linetype = kLinePercentSurcharge;
        fields_.percentSurcharge = m;
        if (m.empty() || m == "0") {
            return;
        }
    } else if (minus) {
        fields_.linetype = kLineDiscount;
        fields_.discount = trim(mid(m, 2, 8));
    } else {
        fields_.linetype = kLineAddon;
        fields_.addon = m;
    }
    sendLine(vatRateText_);
}

void JobInterpreter::lineCom(std::string_view line) {
    fields_.description = prepareCommentText(mid(line, 7, 28), greek_);
    send("KXCO " + left(fields_.description, 28));
}

void JobInterpreter::lineFrt() {
    for (int i = 0; i < 3; ++i) {
        send("KXCO ");
    }
}

void JobInterpreter::lineCan(std::string_view line) {
    // Only a number that fits replaces the carried receipt number; anything else keeps it.
    if (const auto value = common::parseNumber(trim(mid(line, 7, 6)), separator())) {
        const double rounded = std::nearbyint(*value);
        if (rounded >= std::numeric_limits<std::int32_t>::min() &&
            rounded <= std::numeric_limits<std::int32_t>::max()) {
            cancelReceipt_ = static_cast<std::int32_t>(rounded);
        }
    }
    send("KX@215T" + std::to_string(cancelReceipt_));
    send("KXCL");
}

void JobInterpreter::lineVoi() {
    send("KXVOID");
    send("KXCL");
}

void JobInterpreter::linePRG(std::string_view line) {
    std::string command = common::toUpper1253(trim(mid(line, 6, 90)));
    if (command.empty() || command == "KY") {
        dropEmptyCommand();
        return;
    }
    if (!command.starts_with("KY")) {
        command = "KX" + command;
    }
    fields_.linetype = kLineRaw;
    fields_.description = registerText(command);
    sendLine(vatRateText_);
}

}  // namespace merovan::jobs
