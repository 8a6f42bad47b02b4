#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/common/message_box.h"
#include "core/desktop/data_files.h"
#include "core/eft/eft_table.h"

namespace merovan::desktop {

// What the card-payment dialog's fields hold; the two lists by the value of their entry.
struct CardPaymentFields {
    std::string payNumber = "01";
    int registerPayment = 0;
    int terminal = 0;
    bool active = false;
};

// The card-payment mapping without a toolkit: which POS payment numbers are card payments,
// with the register's payment kind and the card terminal of each, kept in payeft.dat.
class CardPaymentForm {
  public:
    static constexpr int kPayNumberLength = 2;

    explicit CardPaymentForm(DataFiles files) : files_(std::move(files)) {}

    const std::vector<eft::ListEntry>& registerPayments() const { return registerPayments_; }
    const std::vector<eft::ListEntry>& terminals() const { return terminals_; }
    CardPaymentFields& fields() { return fields_; }
    const CardPaymentFields& fields() const { return fields_; }

    // Refills both lists with their first entry chosen.
    void fill();
    // The record of the payment number into the fields; false when there is none to show.
    bool find();
    // Each returns the box to show when payeft.dat could not be written.
    std::optional<common::MessageBox> save();
    std::optional<common::MessageBox> remove();

  private:
    // The payment number when it is a whole number the field can hold (1 to 99).
    std::optional<std::int16_t> payNumber() const;
    std::optional<common::MessageBox> write(const eft::EftPaymentRecord& record);

    DataFiles files_;
    CardPaymentFields fields_;
    std::vector<eft::ListEntry> registerPayments_;
    std::vector<eft::ListEntry> terminals_;
};

}  // namespace merovan::desktop
