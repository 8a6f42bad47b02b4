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
    ASSERT_TRUE(vat::saveVatRates(vats, {24, 13, 6, 0, 17}));
    ASSERT_TRUE(eft::writeEftRecord(eft, {2, 2, 1, -1}));
    // Written by the desktop program's user, read by the service's.
    std::filesystem::permissions(vats, std::filesystem::perms::owner_read);
    std::filesystem::permissions(eft, std::filesystem::perms::owner_read);
    EXPECT_EQ(vat::loadVatRates(vats).value()[0], 24);
    EXPECT_EQ(eft::readEftRecord(eft, 2).value().active, -1);
    if (::geteuid() != 0) {  // root writes anything
        EXPECT_FALSE(vat::saveVatRates(vats, {23, 13, 6, 0, 17}));
    }

    // A FIFO would hold the job for ever; it reads as nothing, and the log says which file.
    std::filesystem::remove(vats);
    std::filesystem::remove(eft);
    ASSERT_EQ(::mkfifo(vats.c_str(), 0666), 0);
    ASSERT_EQ(::mkfifo(eft.c_str(), 0666), 0);
    const auto rates = vat::loadVatRates(vats);
    ASSERT_FALSE(rates);
    EXPECT_NE(rates.error().what.find(vat::kVatFileName), std::string::npos);
    EXPECT_FALSE(vat::saveVatRates(vats, {}));
    testing::RecordingOperator op;
    EXPECT_EQ(eft::lookupEftPayment(eft, 2, op).active, 0);
    ASSERT_EQ(op.logLines().size(), 1u);
    EXPECT_NE(op.logLines()[0].find(eft::kEftFileName), std::string::npos);
    EXPECT_FALSE(eft::writeEftRecord(eft, {2, 2, 1, -1}));
}

}  // namespace
}  // namespace merovan
