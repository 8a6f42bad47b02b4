#include <gtest/gtest.h>

#include <filesystem>

#include "core/eft/eft_table.h"
#include "support/read_file.h"
#include "support/recording_operator.h"
#include "support/temp_dir.h"

namespace merovan::eft {
namespace {

using testing::readFile;

std::array<int, 4> fields(const EftPaymentRecord& r) {
    return {r.payNumber, r.ecrPayType, r.eftTerminal, r.active};
}

TEST(EftTableTest, RecordsLieInTheirSlotsAsFourLittleEndianIntegers) {
    testing::TempDir dir;
    const std::string path = dir.file(kEftFileName);
    ASSERT_TRUE(writeEftRecord(path, {5, 3, 2, -1}));
    const std::string record5("\x05\x00\x03\x00\x02\x00\xFF\xFF", 8);
    EXPECT_EQ(readFile(path), std::string(512, '\0') + record5);

    // Another slot is written alone; the rest of a slot is left as it is.
    testing::writeBytes(path, readFile(path) + std::string(120, '\x11'));
    ASSERT_TRUE(writeEftRecord(path, {1, 9, 4, 0}));
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x01\x00\x09\x00\x04\x00\x00\x00", 8));
    EXPECT_EQ(bytes.substr(512), record5 + std::string(120, '\x11'));

    // Never written, beyond the end, or no file at all: an inactive record of that number.
    for (const std::int16_t payNumber : {5, 2, 6, 32767}) {
        EXPECT_EQ(
            fields(readEftRecord(path, payNumber).value()),
            fields(payNumber == 5 ? EftPaymentRecord{5, 3, 2, -1} : EftPaymentRecord{payNumber}));
    }
    EXPECT_EQ(fields(readEftRecord(dir.file("new.dat"), 3).value()), fields({3}));
    EXPECT_EQ(std::filesystem::file_size(dir.file("new.dat")), 0u);
}

TEST(EftTableTest, BadNumbersAndUnusableFilesFailAndLookupSaysSo) {
    testing::TempDir dir;
    const std::string path = dir.file(kEftFileName);
    for (const std::int16_t payNumber : {0, -1, -32768}) {
        EXPECT_FALSE(readEftRecord(path, payNumber));
        EXPECT_FALSE(writeEftRecord(path, {payNumber, 2, 1, -1}));
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(writeEftRecord(dir.path.string(), {1, 2, 1, -1}));

    ASSERT_TRUE(writeEftRecord(path, {4, 2, 1, -1}));
    testing::RecordingOperator op;
    EXPECT_EQ(fields(lookupEftPayment(path, 4, op)), fields({4, 2, 1, -1}));
    EXPECT_TRUE(op.messages().empty());
    for (const auto& [file, payNumber] : {std::pair{dir.path.string(), 4}, std::pair{path, 0}}) {
        op.clear();
        EXPECT_EQ(lookupEftPayment(file, static_cast<std::int16_t>(payNumber), op).active, 0);
        ASSERT_EQ(op.messages().size(), 1u);
        EXPECT_EQ(op.messages()[0].text, "  Αδυναμία ανάγνωσης παραμέτρων πληρωμών");
        EXPECT_EQ(op.messages()[0].buttons, 48 + 4096);
        EXPECT_EQ(op.messages()[0].title, "Μύνημα Merovan");
    }
}

TEST(EftDialogTextTest, ListsSelectionAndWaitingLabel) {
    std::vector<int> kinds;
    for (const ListEntry& entry : ecrPayTypeEntries()) {
        kinds.push_back(entry.value);
    }
    EXPECT_EQ(indexOfStoredValue(kinds, 9), 3);
    EXPECT_EQ(indexOfStoredValue(kinds, 5), 0);  // an unknown stored value selects "---"
    EXPECT_EQ(eftWaitLabel(7), "Αναμονή EFTPOS [07]");
    EXPECT_EQ(eftWaitElapsedSeconds(86399, 6), 7);  // past midnight
}

}  // namespace
}  // namespace merovan::eft
