#include <gtest/gtest.h>

#include <filesystem>

#include "core/eft/eft_table.h"
#include "support/recording_operator.h"
#include "temp_dir.h"

namespace merovan::eft {
namespace {

using testing::readBytes;
using testing::writeBytes;

bool sameRecord(const EftPaymentRecord& a, const EftPaymentRecord& b) {
    return a.payNumber == b.payNumber && a.ecrPayType == b.ecrPayType &&
           a.eftTerminal == b.eftTerminal && a.active == b.active;
}

class EftTableTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    std::string path = dir.file(kEftFileName);
};

TEST_F(EftTableTest, RecordsLieInTheirSlotsAsFourLittleEndianIntegers) {
    ASSERT_EQ(WriteEftRecord(path, {5, 3, 2, -1}), 0);
    std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 520u);
    EXPECT_EQ(bytes.substr(512), std::string("\x05\x00\x03\x00\x02\x00\xFF\xFF", 8));
    EXPECT_EQ(bytes.substr(0, 512), std::string(512, '\0'));

    // Rewriting another slot leaves this one, and the rest of a slot, as they were.
    writeBytes(path, bytes + std::string(120, '\x11'));
    ASSERT_EQ(WriteEftRecord(path, {1, 9, 4, 0}), 0);
    bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 640u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x00\x09\x00\x04\x00\x00\x00", 8));
    EXPECT_EQ(bytes.substr(512, 8), std::string("\x05\x00\x03\x00\x02\x00\xFF\xFF", 8));
    EXPECT_EQ(bytes.substr(520), std::string(120, '\x11'));

    EftPaymentRecord record{5};
    EXPECT_EQ(ReadEftRecord(path, record), 0);
    EXPECT_TRUE(sameRecord(record, {5, 3, 2, -1}));
    record = {32767, 9, 1, -1};
    ASSERT_EQ(WriteEftRecord(path, record), 0);
    EXPECT_EQ(std::filesystem::file_size(path), 32766u * 128 + 8);
}

TEST_F(EftTableTest, UnwrittenSlotsAndMissingFilesReadInactive) {
    EftPaymentRecord record{3, 9, 9, -1};
    EXPECT_EQ(ReadEftRecord(path, record), 0);
    EXPECT_TRUE(sameRecord(record, {3, 0, 0, 0}));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    ASSERT_EQ(WriteEftRecord(path, {5, 2, 1, -1}), 0);
    for (const std::int16_t payNumber : {2, 6, 100}) {
        record = {payNumber, 9, 9, -1};
        EXPECT_EQ(ReadEftRecord(path, record), 0);
        EXPECT_TRUE(sameRecord(record, {payNumber, 0, 0, 0})) << payNumber;
    }
}

TEST_F(EftTableTest, PaymentNumbersBelowOneAndUnusableFilesFail) {
    for (const std::int16_t payNumber : {0, -1, -32768}) {
        EftPaymentRecord record{payNumber};
        EXPECT_EQ(ReadEftRecord(path, record), -1);
        EXPECT_EQ(WriteEftRecord(path, {payNumber, 2, 1, -1}), -1);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EftPaymentRecord record{1};
    EXPECT_EQ(ReadEftRecord(dir.path(), record), -1);
    EXPECT_EQ(WriteEftRecord(dir.path(), {1, 2, 1, -1}), -1);
}

TEST_F(EftTableTest, LookupTellsTheOperatorWhenItCannotRead) {
    ASSERT_EQ(WriteEftRecord(path, {4, 2, 1, -1}), 0);
    testing::RecordingOperator op;
    EXPECT_TRUE(sameRecord(LookupEftPayment(path, 4, op), {4, 2, 1, -1}));
    EXPECT_TRUE(sameRecord(LookupEftPayment(path, 7, op), {7, 0, 0, 0}));
    EXPECT_TRUE(op.messages().empty());

    for (const auto& [file, payNumber] :
         {std::pair{dir.path(), std::int16_t{4}}, std::pair{path, std::int16_t{0}}}) {
        op.clear();
        EXPECT_EQ(LookupEftPayment(file, payNumber, op).active, 0);
        ASSERT_EQ(op.messages().size(), 1u);
        EXPECT_EQ(op.messages()[0].text, "  Αδυναμία ανάγνωσης παραμέτρων πληρωμών");
        EXPECT_EQ(op.messages()[0].buttons, 48 + 4096);
        EXPECT_EQ(op.messages()[0].title, "Μύνημα Merovan");
    }
}

TEST(EftDialogTextTest, ListsSelectionAndWaitingLabel) {
    std::vector<int> kinds;
    for (const ListEntry& entry : EcrPayTypeEntries()) {
        kinds.push_back(entry.value);
    }
    EXPECT_EQ(kinds, (std::vector<int>{0, 2, 3, 9}));
    EXPECT_EQ(EcrPayTypeEntries()[2].text, "EFT Προφορτωμένη");
    EXPECT_EQ(EftTerminalEntries().size(), 5u);
    EXPECT_EQ(EftTerminalEntries()[0].text, "---");
    EXPECT_EQ(EftTerminalEntries()[4].text, "EFTPOS #4");
    EXPECT_EQ(EftTerminalEntries()[4].value, 4);

    EXPECT_EQ(getItembyData(kinds, 9), 3);
    EXPECT_EQ(getItembyData(kinds, 5), 0);  // an unknown stored value selects "---"
    EXPECT_EQ(getItembyData({2, 3, 3}, 3), 1);
    EXPECT_EQ(getItembyData({}, 3), 0);

    EXPECT_EQ(EftWaitLabel(7), "Αναμονή EFTPOS [07]");
    EXPECT_EQ(EftWaitLabel(0), "Αναμονή EFTPOS [00]");
    EXPECT_EQ(EftWaitLabel(125), "Αναμονή EFTPOS [125]");
    EXPECT_EQ(EftWaitElapsedSeconds(100, 107), 7);
    EXPECT_EQ(EftWaitElapsedSeconds(86399, 6), 7);  // past midnight
}

}  // namespace
}  // namespace merovan::eft
