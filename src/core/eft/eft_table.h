#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/driver/operator.h"

// payeft.dat: which POS payment numbers are card payments, and how the register takes them.
namespace merovan::eft {

struct EftPaymentRecord {
    std::int16_t payNumber = 0;
    std::int16_t ecrPayType = 0;   // 0 none, 2, 3, 9
    std::int16_t eftTerminal = 0;  // 0 none, 1..4
    std::int16_t active = 0;       // -1 true, 0 false
};

inline constexpr const char* kEftFileName = "payeft.dat";

// Read and write the record under record.payNumber; 0 on success, -1 on any failure (a
// payment number below 1 among them). A missing file is created empty.
int ReadEftRecord(const std::string& path, EftPaymentRecord& record);
int WriteEftRecord(const std::string& path, const EftPaymentRecord& record);

// The record used at payment time; on a failed read the operator is told and the record
// comes back inactive.
EftPaymentRecord LookupEftPayment(const std::string& path, std::int16_t payNumber,
                                  driver::Operator& op);

// First index of values equal to value, 0 when none is.
int getItembyData(const std::vector<int>& values, int value);

}  // namespace merovan::eft
