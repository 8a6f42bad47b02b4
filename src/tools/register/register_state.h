#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace merovan::sim {

// What a fiscal register remembers between commands, and its answers. Amounts are kept in
// hundredths. An answer is the reply text without its CR EOT ending: "OK", "OK:12",
// "DE6"; no value means the register says nothing.
//
// Reply layouts: "KX?TO" OK:<open table or 0>; "KXTO" OK:<table>:<receipt number>;
// "KXREP<n>TBL" OK:<n>:<open amount, e.g. 12.50>; "KXREPTBL" OK:<open tables joined by ",">;
// "KXRE" OK:<Z counter>:<receipt counter>.
//
// It also keeps the receipt log, what a customer would hold in hand: one line for every
// receipt closed or voided and for every table closed, fields joined by TAB:
//   closed <receipt number> <total> <item>...   a receipt paid in full
//   voided - <total> <item>...                  a receipt voided ("KXVOID")
//   table <table> <receipt number> <item>...    "KXTO": the items sent since it was opened
// An item is the command that sold it ("KX250R1COFFEE"), or an adjustment ("KX150GE",
// "KX10% "), preceded by "-" when a "KX- " came first and by "<quantity>*" after a quantity
// command; TAB, LF, CR and backslash in it are written \t, \n, \r and \\.
class RegisterState {
  public:
    std::optional<std::string> answer(const std::string& command);

    // The receipt log lines made since the last call.
    std::vector<std::string> takeLog();
    // What is still open, in the receipt log's form: "open-receipt - <total> <item>..." and
    // "open-table <table> - <item>..." (the items sent since it was opened).
    std::vector<std::string> openLog() const;

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
        std::vector<std::string> items;
    };
    struct TableOrder {
        long long amount = 0;
        std::vector<std::string> items;
    };

    std::string sell(const std::string& price, const std::string& command);
    std::string adjust(long long amount, bool percent, const std::string& command);
    std::string itemText(const std::string& command);
    void record(const std::string& what, const std::string& number, long long total,
                const std::vector<std::string>& items);
    std::string pay(const std::string& amount);
    std::string openTableCommand(int table);
    std::string closeTable();
    std::string transfer(int from, int to);
    std::string payTable(int table);
    std::string closeReceipt();

    std::optional<int> openTable_;
    std::vector<std::string> tableSession_;  // items sent since the open table was opened
    std::map<int, TableOrder> tables_;
    std::optional<Receipt> receipt_;
    bool negativeNext_ = false;
    long long quantityMillis_ = 1000;
    bool partialPaymentNext_ = false;
    int zCounter_ = 1;
    int receiptCounter_ = 1;
    std::vector<std::string> log_;
};

// "DE" and the number: the register's refusal.
std::string errorReply(int number);
// Hundredths as the register writes an amount: 1250 is "12.50".
std::string formatAmount(long long hundredths);

}  // namespace merovan::sim
