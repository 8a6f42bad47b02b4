#include "core/desktop/card_payment_form.h"

#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::desktop {
namespace {

constexpr const char* kWriteFailed = "Αδυναμία αποθήκευσης παραμέτρων πληρωμών";

// The value an entry stores; the first entry's when the value is in none of them.
int knownValue(const std::vector<eft::ListEntry>& entries, int value) {
    std::vector<int> values;
    for (const auto& entry : entries) {
        values.push_back(entry.value);
    }
    const int index = eft::indexOfStoredValue(values, value);
    return entries.empty() ? 0 : entries[static_cast<std::size_t>(index)].value;
}

}  // namespace

void CardPaymentForm::fill() {
    terminals_ = eft::eftTerminalEntries();
    registerPayments_ = eft::ecrPayTypeEntries();
    fields_.terminal = terminals_.empty() ? 0 : terminals_.front().value;
    fields_.registerPayment = registerPayments_.empty() ? 0 : registerPayments_.front().value;
}

std::optional<std::int16_t> CardPaymentForm::payNumber() const {
    const auto number = common::parseInteger(common::trim(fields_.payNumber));
    if (!number || *number < 1 || *number > 99) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*number);
}

bool CardPaymentForm::find() {
    const auto number = payNumber();
    if (!number) {
        return false;
    }
    const auto read = eft::readEftRecord(files_.pathOf(eft::kEftFileName), *number);
    if (!read) {
        return false;
    }
    const eft::EftPaymentRecord& record = *read;
    fields_.registerPayment = knownValue(registerPayments_, record.ecrPayType);
    fields_.terminal = knownValue(terminals_, record.eftTerminal);
    fields_.active = record.active == -1;
    return true;
}

std::optional<common::MessageBox> CardPaymentForm::save() {
    const auto number = payNumber();
    if (!number) {
        return std::nullopt;
    }
    eft::EftPaymentRecord record;
    record.payNumber = *number;
    record.ecrPayType = static_cast<std::int16_t>(fields_.registerPayment);
    record.eftTerminal = static_cast<std::int16_t>(fields_.terminal);
    record.active = fields_.active ? -1 : 0;
    return write(record);
}

std::optional<common::MessageBox> CardPaymentForm::remove() {
    const auto number = payNumber();
    if (!number) {
        return std::nullopt;
    }
    eft::EftPaymentRecord record;
    record.payNumber = *number;
    return write(record);
}

// A mapping the user believes saved would turn card payments into cash ones unnoticed.
std::optional<common::MessageBox> CardPaymentForm::write(const eft::EftPaymentRecord& record) {
    if (!eft::writeEftRecord(files_.pathOf(eft::kEftFileName), record)) {
        return common::formatMessageBox(kWriteFailed, common::buttons::kExclamation, {});
    }
    return std::nullopt;
}

}  // namespace merovan::desktop
