#pragma once

#include <map>
#include <optional>
#include <string>

namespace merovan::sim {

// What a fiscal register remembers between commands, and its answers. Amounts are kept in
// hundredths. An answer is the reply text without its CR EOT ending: "OK", "OK:12",
// "DE6"; no value means the register says nothing.
//
// Reply layouts: "KX?TO" OK:<open table or 0>; "KXTO" OK:<table>:<receipt number>;
// "KXREP<n>TBL" OK:<n>:<open amount, e.g. 12.50>; "KXREPTBL" OK:<open tables joined by ",">;
// "KXRE" OK:<Z counter>:<receipt counter>.
class RegisterState {
  public:
    std::optional<std::string> answer(const std::string& command);

    // The table the register is working on, if any.
    std::optional<int> openTable() const { return openTable_; }
    // The amount still open on a table, 0 for an unknown one.
    long long tableAmount(int table) const;
    bool receiptOpen() const { return receipt_.has_value(); }
    // What the open receipt still asks to be paid.
    long long amountDue() const;
    // The number of the daily (Z) report to come.
    int zCounter() const { return zCounter_; }
    // The number the next receipt will carry.
    int receiptCounter() const { return receiptCounter_; }

    // Error numbers the register answers with.
    static constexpr int kWrongOperation = 6;  // "Λάθος Χειρισμός !"
    static constexpr int kBadData = 69;  // "Λάθος στοιχεία απο τον Η/Υ !"
    static constexpr int kReceiptOpen = 1038;  // "Ανοικτή Απόδειξη, Υποχρεωτική Εξόφληση!"
    static constexpr int kWrongQuantity = 1005;  // "Λάθος Ποσότητα!"
    static constexpr int kWrongAmount = 1011;    // "Λάθος Αξία!"

  private:
    struct Receipt {
        long long total = 0;
        long long paid = 0;
        std::optional<int> table;  // a table being paid through this receipt
    };

    std::string sell(const std::string& price);
    std::string pay(const std::string& amount);
    std::string openTableCommand(int table);
    std::string closeTable();
    std::string transfer(int from, int to);
    std::string payTable(int table);
    std::string closeReceipt();

    std::optional<int> openTable_;
    std::map<int, long long> tables_;
    std::optional<Receipt> receipt_;
    bool negativeNext_ = false;
    long long quantityMillis_ = 1000;
    bool partialPaymentNext_ = false;
    int zCounter_ = 1;
    int receiptCounter_ = 1;
};

// "DE" and the number: the register's refusal.
std::string errorReply(int number);
// Hundredths as the register writes an amount: 1250 is "12.50".
std::string formatAmount(long long hundredths);

}  // namespace merovan::sim
