#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "core/eft/eft_table.h"
#include "core/vat/vat_table.h"
#include "support/recording_operator.h"
#include "support/temp_dir.h"

namespace merovan {
namespace {

TEST(DataFilesTest, ReadOnlyDataFilesAreReadAndSpecialFilesRefused) {
    testing::TempDir dir;
    const std::string vats = dir.file(vat::kVatFileName);
    const std::string eft = dir.file(eft::kEftFileName);
    ASSERT_EQ(vat::saveVatRates(vats, {24, 13, 6, 0, 17}), 0);
    ASSERT_EQ(eft::writeEftRecord(eft, {2, 2, 1, -1}), 0);
    // Written by the desktop program's user, read by the service's.
    std::filesystem::permissions(vats, std::filesystem::perms::owner_read);
    std::filesystem::permissions(eft, std::filesystem::perms::owner_read);
    EXPECT_EQ(vat::vatRateOf(vats, 0), 24);
    eft::EftPaymentRecord record{2, 0, 0, 0};
    EXPECT_EQ(eft::readEftRecord(eft, record), 0);
    EXPECT_EQ(record.active, -1);
    if (::geteuid() != 0) {  // root writes anything
        EXPECT_EQ(vat::saveVatRates(vats, {23, 13, 6, 0, 17}), -1);
    }

    // A FIFO would hold the job for ever; it reads as nothing, and the log says which file.
    std::filesystem::remove(vats);
    std::filesystem::remove(eft);
    ASSERT_EQ(::mkfifo(vats.c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(eft.c_str(), 0666), 0);
    std::string why;
    EXPECT_EQ(vat::vatRateOf(vats, 0, &why), 0);
    EXPECT_NE(why.find(vat::kVatFileName), std::string::npos) << why;
    vat::VatRates rates{};
    EXPECT_EQ(vat::loadVatRates(vats, rates), -1);
    EXPECT_EQ(vat::saveVatRates(vats, rates), -1);
    testing::RecordingOperator op;
    EXPECT_EQ(eft::lookupEftPayment(eft, 2, op).active, 0);
    ASSERT_EQ(op.logLines().size(), 1u);
    EXPECT_NE(op.logLines()[0].find(eft::kEftFileName), std::string::npos);
    EXPECT_EQ(eft::writeEftRecord(eft, {2, 2, 1, -1}), -1);
}

}  // namespace
}  // namespace merovan
