#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/common/operator.h"
#include "core/common/result.h"

// payeft.dat: which POS payment numbers are card payments, and how the register takes them.
namespace merovan::eft {

struct EftPaymentRecord {
    std::int16_t payNumber = 0;
    std::int16_t ecrPayType = 0;   // 0 none, 2, 3, 9
    std::int16_t eftTerminal = 0;  // 0 none, 1..4
    std::int16_t active = 0;       // -1 true, 0 false
};

inline constexpr const char* kEftFileName = "payeft.dat";

// Read and write the record of a payment number; no slot lies below 1. A missing file is
// created empty and reads as an inactive record.
common::Result<EftPaymentRecord> readEftRecord(const std::string& path, std::int16_t payNumber);
common::Result<void> writeEftRecord(const std::string& path, const EftPaymentRecord& record);

// The record used at payment time; on a failed read the operator is told and the record
// comes back inactive.
EftPaymentRecord lookupEftPayment(const std::string& path, std::int16_t payNumber,
                                  common::Operator& op);

// First index of values equal to value, 0 when none is.
int indexOfStoredValue(const std::vector<int>& values, int value);

// An entry of the mapping dialog's lists: the text shown and the value stored.
struct ListEntry {
    std::string text;  // UTF-8
    int value = 0;
};
// The register's card payment kinds, in list order: none, 2, 3, 9.
std::vector<ListEntry> ecrPayTypeEntries();
// The terminals, in list order: none, then 1 to 4.
std::vector<ListEntry> eftTerminalEntries();

inline constexpr const char* kEftDialogCaption = "Πληρωμές Καρτών";
inline constexpr const char* kEftDialogLoadingCaption = "Ανάγνωση Ρυθμίσεων Ταμειακής...";
inline constexpr const char* kEftWaitCaption = "Συναλλαγή EFTPOS";
inline constexpr const char* kEftWaitFirstLabel = "Αναμονή Απάντησης EFTPOS";

// Whole seconds waited between two times of day (seconds since midnight), across midnight too.
int eftWaitElapsedSeconds(int startSecondOfDay, int nowSecondOfDay);
// The waiting window's label for the seconds waited, at least two digits: "Αναμονή EFTPOS [07]".
std::string eftWaitLabel(int elapsedSeconds);

}  // namespace merovan::eft
