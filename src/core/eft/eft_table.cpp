#include "core/eft/eft_table.h"

#include <array>
#include <cstdio>

#include "core/common/message_box.h"
#include "core/common/record_file.h"
#include "core/common/text.h"

namespace merovan::eft {
namespace {

constexpr std::uint64_t kSlotSize = 128;
constexpr std::size_t kRecordSize = 8;
constexpr int kSecondsPerDay = 24 * 60 * 60;

std::uint64_t slotOffset(std::int16_t payNumber) {
    return static_cast<std::uint64_t>(payNumber - 1) * kSlotSize;
}

common::Error noSlot(std::int16_t payNumber) {
    return {"payeft.dat: η πληρωμή " + std::to_string(payNumber) + " δεν έχει θέση"};
}

}  // namespace

common::Result<EftPaymentRecord> readEftRecord(const std::string& path, std::int16_t payNumber) {
    if (payNumber < 1) {
        return noSlot(payNumber);
    }
    std::array<unsigned char, kRecordSize> bytes{};
    if (auto read = common::readRecord(path, slotOffset(payNumber), bytes); !read) {
        return read.error();
    }
    const std::span<const unsigned char> in(bytes);
    // The slot's own number is not taken over: a slot never written holds 0 there, and the
    // caller asked for this payment.
    EftPaymentRecord record;
    record.payNumber = payNumber;
    record.ecrPayType = common::getLittleEndian16(in.subspan<2, 2>());
    record.eftTerminal = common::getLittleEndian16(in.subspan<4, 2>());
    record.active = common::getLittleEndian16(in.subspan<6, 2>());
    return record;
}

common::Result<void> writeEftRecord(const std::string& path, const EftPaymentRecord& record) {
    if (record.payNumber < 1) {
        return noSlot(record.payNumber);
    }
    std::array<unsigned char, kRecordSize> bytes{};
    const std::span<unsigned char> out(bytes);
    common::putLittleEndian16(out.subspan<0, 2>(), record.payNumber);
    common::putLittleEndian16(out.subspan<2, 2>(), record.ecrPayType);
    common::putLittleEndian16(out.subspan<4, 2>(), record.eftTerminal);
    common::putLittleEndian16(out.subspan<6, 2>(), record.active);
    return common::writeRecord(path, slotOffset(record.payNumber), bytes);
}

EftPaymentRecord lookupEftPayment(const std::string& path, std::int16_t payNumber,
                                  common::Operator& op) {
    auto read = readEftRecord(path, payNumber);
    if (read) {
        return *read;
    }
    // A number without a slot is the POS's mistake, not the file's: only the message says so.
    if (payNumber >= 1) {
        op.log(read.error().what);
    }
    common::showMessageBox(op, "Αδυναμία ανάγνωσης παραμέτρων πληρωμών",
                           common::buttons::kExclamation | common::buttons::kOk, "Μύνημα Merovan");
    // The payment then goes out as an ordinary one.
    EftPaymentRecord record;
    record.payNumber = payNumber;
    return record;
}

int indexOfStoredValue(const std::vector<int>& values, int value) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == value) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

std::vector<ListEntry> ecrPayTypeEntries() {
    return {{"---", 0}, {"EFT Πληρωμή", 2}, {"EFT Προφορτωμένη", 3}, {"EFT Προείσπραξη", 9}};
}

std::vector<ListEntry> eftTerminalEntries() {
    std::vector<ListEntry> entries{{"---", 0}};
    for (int terminal = 1; terminal <= 4; ++terminal) {
        entries.push_back({"EFTPOS #" + std::to_string(terminal), terminal});
    }
    return entries;
}

int eftWaitElapsedSeconds(int startSecondOfDay, int nowSecondOfDay) {
    return ((nowSecondOfDay - startSecondOfDay) % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay;
}

std::string eftWaitLabel(int elapsedSeconds) {
    char seconds[16];
    std::snprintf(seconds, sizeof seconds, "%02d", elapsedSeconds);
    return common::replaceAll("Αναμονή EFTPOS [%1]", "%1", seconds);
}

}  // namespace merovan::eft
