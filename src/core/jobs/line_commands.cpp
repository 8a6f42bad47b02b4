#include "core/jobs/line_commands.h"

#include "core/common/message_box.h"
#include "core/common/numeric.h"
#include "core/common/text.h"
#include "core/eft/eft_table.h"
#include "core/jobs/job_numbers.h"
#include "core/jobs/sale_amounts.h"

namespace merovan::jobs {
namespace {

constexpr int kCardAnswerSeconds = 200;

// The commands of one sendLineCommands call, sent one by one through the link.
class Commands {
  public:
    Commands(LineFields& line, const JobSettings& settings, JobContext& context)
        : line_(line), settings_(settings), context_(context) {}

    void run();

  private:
    bool send(const std::string& command, bool quiet = false, int cardAnswerSeconds = 0) {
        return context_.session.send(command, quiet, cardAnswerSeconds).succeeded();
    }
    // A payment: sent only when the job may close its receipt now.
    void sendPayment(const std::string& command, int cardAnswerSeconds = 0) {
        if (mayCloseReceipt(context_, command)) {
            send(command, false, cardAnswerSeconds);
        }
    }
    bool locked() const { return settings_.receipt.keyboardLocked; }
    double value(const std::string& text) const {
        return numericValue(text, settings_.decimalSeparator);
    }
    void sale();
    bool prepareQuantityAndPrice();
    void negativePrice();
    void saleWithCode();
    void lockedSale();
    void saleWithoutCode();
    bool quantityAccepted();
    void payment();
    void cardPayment();
    void itemAdjustment();
    void receiptAdjustment(const std::string& field, bool minus, const std::string& suffix);

    LineFields& line_;
    const JobSettings& settings_;
    JobContext& context_;
};

void Commands::run() {
    context_.op.setStatus("Εκτυπωση Ενεργή.. Παρακαλώ Περιμένετε");
    context_.op.setCaption("Merovan - Eκτυπώνει");
    switch (line_.linetype) {
        case kLineSale:
            sale();
            break;
        case kLinePayment:
            payment();
            break;
        case kLineItemAdjustment:
            itemAdjustment();
            break;
        case kLineRaw:
            send(line_.description);
            break;
        case kLinePercentDiscount:
            receiptAdjustment(line_.percentDiscount, true, "% ");
            break;
        case kLinePercentSurcharge:
            receiptAdjustment(line_.percentSurcharge, false, "% ");
            break;
        case kLineDiscount:
            receiptAdjustment(line_.discount, true, "GE");
            break;
        case kLineAddon:
            receiptAdjustment(line_.addon, false, "GE");
            break;
        default:
            break;
    }
}

void Commands::sale() {
    if (!line_.quantity.empty() && !prepareQuantityAndPrice()) {
        common::showMessageBox(context_.op, "Η τιμή του είδους δεν είναι αριθμός, δεν πουλήθηκε",
                               common::buttons::kExclamation);
        line_.dropped = link::LinkStatus::PriceNotNumber;
        return;
    }
    if (!line_.code.empty()) {
        saleWithCode();
    } else if (locked()) {
        lockedSale();
    } else {
        saleWithoutCode();
    }
}

// Returns false when the price is not a number: such an item is not sold at all.
bool Commands::prepareQuantityAndPrice() {
    const auto hundredths = priceInHundredths(line_.price, settings_.decimalSeparator);
    if (!hundredths) {
        return false;
    }
    if (context_.flags.transferPending) {
        line_.quantity.assign(1, '1');
    }
    if (line_.quantity.starts_with('-') && line_.price.starts_with('-')) {
        line_.quantity.erase(0, 1);
    }
    if (line_.quantity.starts_with('-')) {
        send("KX- ");
        line_.quantity = common::trimRight(common::mid(line_.quantity, 2, 8));
    }
    line_.price = *hundredths;
    return true;
}

void Commands::negativePrice() {
    if (line_.price.starts_with('-') && !line_.quantity.starts_with('-')) {
        send("KX- ");
        line_.price.erase(0, 1);
    }
}

void Commands::saleWithCode() {
    if (line_.code.starts_with('A')) {
        send("KX10PLK\x8D\x86:" + common::mid(line_.code, 2, 14));
    }
    negativePrice();
    if (!locked()) {
        send("KX" + line_.price + "R" + line_.category + line_.description);
    } else {
        send("KX" + line_.category + "PL");
        send("KX" + line_.price + "AC" + line_.description);
    }
    if (line_.code.starts_with('N')) {
        send("KX" + common::trim(common::mid(line_.code, 2, 15)) + "AC");
    }
}

void Commands::lockedSale() {
    negativePrice();
    send("KX" + line_.category + "PL");
    send("KX" + line_.price + "AC" + line_.description);
}

void Commands::saleWithoutCode() {
    negativePrice();
    if (!quantityAccepted()) {
        common::showMessageBox(context_.op, "Λάθος ποσότητα είδους στην ταμειακή!",
                               common::buttons::kExclamation);
        line_.dropped = link::LinkStatus::QuantityRefused;
        return;
    }
    const std::string sale =
        line_.price + "R" + line_.category + prepareSaleDescription(line_.description);
    if (context_.flags.transferPending || context_.flags.partialPaymentPending) {
        if (send("KXTRF") && send("KXPA" + sale)) {
            send("KXTRFOK");
        }
    } else {
        send("KX" + sale);
    }
}

// Sends the quantity command when the quantity needs one; false when the register refused it.
bool Commands::quantityAccepted() {
    const std::string& separator = settings_.decimalSeparator;
    std::string quantity = line_.quantity;
    if (quantity.size() >= 4 && quantity.find(separator) == std::string::npos) {
        quantity.insert(quantity.size() - 3, 1, ',');
    }
    quantity = common::trim(quantity);
    const auto mark = quantity.find(separator);
    if (mark == std::string::npos) {
        return true;
    }
    std::string whole = quantity.substr(0, mark);
    const std::string fraction = quantity.substr(mark + separator.size());
    const auto fractionValue = common::parseNumber(fraction, separator);
    const auto wholeValue =
        whole.empty() ? std::optional<double>(0.0) : common::parseNumber(whole, separator);
    if (!fractionValue || !wholeValue || *wholeValue < 0 || value(quantity) == 1.0) {
        return true;
    }
    const std::string command =
        *fractionValue == 0 ? "KX" + whole + ".000* " : "KX" + whole + "." + fraction + "* ";
    return send(command, true);
}

void Commands::payment() {
    // The zero rule is for an amount that is given: a second-currency payment carries none,
    // and a receipt with a subtotal must still be payable in that currency.
    if (!line_.price.empty() && value(line_.price) == 0 && !context_.flags.zeroTotalReceipt) {
        return;
    }
    const bool noAmount = line_.price.empty() || line_.price == "0";
    const auto payAlwaysAs = [&](const std::string& type) {
        sendPayment(noAmount ? "KXT" + type : "KX" + line_.price + "T" + type);
    };
    switch (settings_.receipt.currency) {
        case settings::Currency::AsJob:
            cardPayment();
            break;
        case settings::Currency::Main:
            payAlwaysAs("1");
            break;
        case settings::Currency::Type3:
            payAlwaysAs("3");
            break;
        case settings::Currency::Secondary:
            send("KXST");
            sendPayment("KXT2");
            break;
        case settings::Currency::Other:
            break;
    }
}

void Commands::cardPayment() {
    const std::int16_t payNumber = toInt16(line_.paymentType, settings_.decimalSeparator);
    const eft::EftPaymentRecord record =
        eft::lookupEftPayment(settings_.workDir + "/" + eft::kEftFileName, payNumber, context_.op);
    const bool active = record.active != 0;
    if (!(active && payNumber == 3)) {
        send("KXST", true);
    }
    const std::string amount = line_.price.empty() || line_.price == "0" ? "" : line_.price;
    if (active) {
        sendPayment("KX" + amount + "T" + std::to_string(record.ecrPayType) + "P" +
                        std::to_string(record.eftTerminal),
                    kCardAnswerSeconds);
    } else {
        sendPayment("KX" + amount + "T" + line_.paymentType);
    }
}

void Commands::itemAdjustment() {
    if (!line_.discount.empty() && value(line_.discount) > 0) {
        send("KXST");
        send("KXST");
        send("KX- ");
        send("KX" + line_.discount + "GE");
    }
    if (!line_.addon.empty()) {
        send("KXST");
        send("KX" + line_.addon + "GE");
    }
    if (!line_.percentSurcharge.empty()) {
        send("KX" + line_.percentSurcharge + "% ");
    }
}

void Commands::receiptAdjustment(const std::string& field, bool minus, const std::string& suffix) {
    if (field.empty() || value(field) == 0) {
        return;
    }
    if (minus) {
        send("KX- ");
    }
    send("KX" + field + suffix + line_.description);
    line_.linetype = 0;
}

}  // namespace

void sendLineCommands(LineFields& line, const JobSettings& settings, JobContext& context) {
    Commands(line, settings, context).run();
}

}  // namespace merovan::jobs
