#include "tools/register/register_state.h"

#include <cstdio>
#include <regex>
#include <utility>

namespace merovan::sim {

namespace {

const std::string kOk = "OK";

bool isReport(const std::string& body) {
    return body == "0T1" || body == "5T1" || body == "021T1" || body == "521T1";
}

long long toNumber(const std::string& digits) {
    // Regexes below admit digits only; a text too long for a register is taken as garbage.
    return digits.size() > 12 ? -1 : std::stoll(digits);
}

std::string escapeItem(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\\':
                escaped += "\\\\";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string logLine(const std::string& what, const std::string& number, const std::string& total,
                    const std::vector<std::string>& items) {
    std::string line = what + "\t" + number + "\t" + total;
    for (const auto& item : items) {
        line += '\t';
        line += escapeItem(item);
    }
    return line;
}

}  // namespace

std::string errorReply(int number) {
    return "DE" + std::to_string(number);
}

std::string formatAmount(long long hundredths) {
    const long long magnitude = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", hundredths < 0 ? "-" : "", magnitude / 100,
                  magnitude % 100);
    return text;
}

long long RegisterState::tableAmount(int table) const {
    const auto found = tables_.find(table);
    return found == tables_.end() ? 0 : found->second.amount;
}

std::vector<std::string> RegisterState::takeLog() {
    return std::exchange(log_, {});
}

std::vector<std::string> RegisterState::openLog() const {
    std::vector<std::string> lines;
    if (receipt_) {
        lines.push_back(
            logLine("open-receipt", "-", formatAmount(receipt_->total), receipt_->items));
    }
    if (openTable_) {
        lines.push_back(logLine("open-table", std::to_string(*openTable_), "-", tableSession_));
    }
    return lines;
}

void RegisterState::record(const std::string& what, const std::string& number, long long total,
                           const std::vector<std::string>& items) {
    log_.push_back(logLine(what, number, formatAmount(total), items));
}

std::string RegisterState::itemText(const std::string& command) {
    std::string text = negativeNext_ ? "-" : "";
    if (quantityMillis_ != 1000) {
        text += std::to_string(quantityMillis_ / 1000) + "." +
                std::to_string(1000 + quantityMillis_ % 1000).substr(1) + "*";
    }
    return text + command;
}

long long RegisterState::amountDue() const {
    return receipt_ ? receipt_->total - receipt_->paid : 0;
}

std::optional<std::string> RegisterState::answer(const std::string& command) {
    // The driver sends this one without waiting for a reply.
    if (command == "KX794ST\r") {
        return std::nullopt;
    }
    if (!command.starts_with("KX") && !command.starts_with("KY")) {
        return errorReply(kBadData);
    }
    const std::string body = command.substr(2);
    static const std::regex kTableOpen(R"((\d+)TO)");
    static const std::regex kTableTotal(R"(REP(\d+)TBL)");
    static const std::regex kQuantity(R"((\d+)\.(\d+)\* )");
    static const std::regex kSale(R"((?:PA)?(\d+(?:\.\d+)?)R\d.*)");
    static const std::regex kPayment(R"((\d*)T\d+(?:P\d+)?)");
    static const std::regex kTableTransfer(R"(FROM(\d+)TO(\d+)PAR)");
    static const std::regex kTablePayment(R"(FROM(\d+))");
    static const std::regex kAmountAdjustment(R"((\d+)GE.*)");
    static const std::regex kPercentAdjustment(R"((\d+)% .*)");
    std::smatch match;

    if (body == "CL") {
        negativeNext_ = false;
        quantityMillis_ = 1000;
        partialPaymentNext_ = false;
        return kOk;
    }
    if (body == "?TO") {
        return "OK:" + std::to_string(openTable_.value_or(0));
    }
    if (body == "TO") {
        return closeTable();
    }
    if (body == "RE") {
        return "OK:" + std::to_string(zCounter_) + ":" + std::to_string(receiptCounter_);
    }
    if (body == "REPTBL") {
        std::string list;
        for (const auto& [table, amount] : tables_) {
            list += (list.empty() ? "" : ",") + std::to_string(table);
        }
        return "OK:" + list;
    }
    if (body == "- ") {
        negativeNext_ = true;
        return kOk;
    }
    if (body == "VOID") {
        if (!receipt_) {
            return errorReply(kWrongOperation);
        }
        record("voided", "-", receipt_->total, receipt_->items);
        receipt_.reset();
        return kOk;
    }
    if (body == "PPAY") {
        partialPaymentNext_ = true;
        return kOk;
    }
    if (std::regex_match(body, match, kTableOpen)) {
        const long long table = toNumber(match[1]);
        return table < 1 || table > 9999 ? errorReply(kBadData)
                                         : openTableCommand(static_cast<int>(table));
    }
    if (std::regex_match(body, match, kTableTotal)) {
        const long long table = toNumber(match[1]);
        return "OK:" + match[1].str() + ":" +
               formatAmount(table < 0 || table > 9999 ? 0 : tableAmount(static_cast<int>(table)));
    }
    if (std::regex_match(body, match, kQuantity)) {
        const std::string fraction = (match[2].str() + "000").substr(0, 3);
        const long long whole = toNumber(match[1]);
        const long long millis =
            whole < 0 || whole > 99999 ? 0 : whole * 1000 + std::stoll(fraction);
        if (millis <= 0) {
            return errorReply(kWrongQuantity);
        }
        quantityMillis_ = millis;
        return kOk;
    }
    if (std::regex_match(body, match, kSale)) {
        return sell(match[1], command);
    }
    if (std::regex_match(body, match, kAmountAdjustment)) {
        return adjust(toNumber(match[1]), false, command);
    }
    if (std::regex_match(body, match, kPercentAdjustment)) {
        return adjust(toNumber(match[1]), true, command);
    }
    if (std::regex_match(body, match, kPayment)) {
        if (!receipt_ && isReport(body)) {
            if (body == "021T1") {
                ++zCounter_;
            }
            return kOk;
        }
        return pay(match[1]);
    }
    if (std::regex_match(body, match, kTableTransfer)) {
        const long long from = toNumber(match[1]);
        const long long to = toNumber(match[2]);
        if (from < 0 || from > 9999 || to < 1 || to > 9999) {
            return errorReply(kBadData);
        }
        return transfer(static_cast<int>(from), static_cast<int>(to));
    }
    if (std::regex_match(body, match, kTablePayment) && partialPaymentNext_) {
        const long long table = toNumber(match[1]);
        return table < 0 || table > 9999 ? errorReply(kBadData) : payTable(static_cast<int>(table));
    }
    // Comments, print lines, programming and the rest change nothing this register keeps.
    return kOk;
}

std::string RegisterState::sell(const std::string& price, const std::string& command) {
    // Hundredths, rounded: the driver may leave a fraction of a hundredth after the point.
    const auto point = price.find('.');
    long long unit = toNumber(price.substr(0, point));
    if (unit >= 0 && point != std::string::npos && point + 1 < price.size() &&
        price[point + 1] >= '5') {
        ++unit;
    }
    const bool negative = negativeNext_;
    const long long millis = quantityMillis_;
    const std::string item = itemText(command);
    negativeNext_ = false;
    quantityMillis_ = 1000;
    if (unit <= 0 || unit > 99999999) {
        return errorReply(kWrongAmount);
    }
    long long amount = (unit * millis + 500) / 1000;
    if (negative) {
        amount = -amount;
    }
    if (openTable_) {
        auto& order = tables_[*openTable_];
        order.amount += amount;
        order.items.push_back(item);
        tableSession_.push_back(item);
        return kOk;
    }
    if (!receipt_) {
        receipt_ = Receipt{};
    }
    receipt_->total += amount;
    receipt_->items.push_back(item);
    return kOk;
}

std::string RegisterState::adjust(long long amount, bool percent, const std::string& command) {
    const std::string item = itemText(command);
    const bool negative = negativeNext_;
    negativeNext_ = false;
    // Only a receipt or a table in hand can be adjusted; elsewhere the line changes nothing.
    long long* total = receipt_     ? &receipt_->total
                       : openTable_ ? &tables_[*openTable_].amount
                                    : nullptr;
    if (total == nullptr || amount < 0) {
        return kOk;
    }
    long long change = percent ? (*total * amount + 50) / 100 : amount;
    *total += negative ? -change : change;
    if (receipt_) {
        receipt_->items.push_back(item);
    } else {
        tables_[*openTable_].items.push_back(item);
        tableSession_.push_back(item);
    }
    return kOk;
}

std::string RegisterState::pay(const std::string& amountText) {
    if (!receipt_) {
        return errorReply(kWrongOperation);
    }
    const long long amount = amountText.empty() ? amountDue() : toNumber(amountText);
    if (amount < 0) {
        return errorReply(kWrongAmount);
    }
    receipt_->paid += amount;
    if (receipt_->table) {
        tables_[*receipt_->table].amount -= amount;
    }
    if (receipt_->paid >= receipt_->total) {
        return closeReceipt();
    }
    return kOk;
}

std::string RegisterState::closeReceipt() {
    if (receipt_->table && tables_[*receipt_->table].amount <= 0) {
        tables_.erase(*receipt_->table);
    }
    record("closed", std::to_string(receiptCounter_), receipt_->total, receipt_->items);
    receipt_.reset();
    ++receiptCounter_;
    return kOk;
}

std::string RegisterState::openTableCommand(int table) {
    if (receipt_) {
        return errorReply(kReceiptOpen);
    }
    if (openTable_ && *openTable_ != table) {
        return errorReply(kWrongOperation);
    }
    if (openTable_ != table) {
        tableSession_.clear();
    }
    openTable_ = table;
    tables_.try_emplace(table);
    return kOk;
}

std::string RegisterState::closeTable() {
    if (!openTable_) {
        return errorReply(kWrongOperation);
    }
    const int table = *openTable_;
    openTable_.reset();
    log_.push_back(logLine("table", std::to_string(table), std::to_string(receiptCounter_),
                           std::exchange(tableSession_, {})));
    return "OK:" + std::to_string(table) + ":" + std::to_string(receiptCounter_++);
}

std::string RegisterState::transfer(int from, int to) {
    const auto found = tables_.find(from);
    if (found == tables_.end() || openTable_) {
        return errorReply(kWrongOperation);
    }
    TableOrder moved = std::move(found->second);
    tables_.erase(found);
    auto& order = tables_[to];
    order.amount += moved.amount;
    order.items.insert(order.items.end(), moved.items.begin(), moved.items.end());
    return kOk;
}

std::string RegisterState::payTable(int table) {
    partialPaymentNext_ = false;
    const auto found = tables_.find(table);
    if (found == tables_.end() || receipt_ || openTable_) {
        return errorReply(kWrongOperation);
    }
    receipt_ = Receipt{found->second.amount, 0, table, found->second.items};
    return kOk;
}

}  // namespace merovan::sim
