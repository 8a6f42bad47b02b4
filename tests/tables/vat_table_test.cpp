#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <locale>

#include "core/vat/vat_table.h"
#include "temp_dir.h"

namespace merovan::vat {
namespace {

using testing::readBytes;
using testing::writeBytes;

class VatTableTest : public ::testing::Test {
  protected:
    testing::TempDir dir;
    std::string path = dir.file(kVatFileName);
};

TEST_F(VatTableTest, MissingFileIsCreatedEmptyAndReadsAsZeros) {
    VatRates rates{1, 2, 3, 4, 5};
    EXPECT_EQ(LoadVatRates(path, rates), 0);
    EXPECT_EQ(rates, (VatRates{0, 0, 0, 0, 0}));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    std::filesystem::remove(path);
    for (int index = 0; index < 5; ++index) {
        EXPECT_EQ(VatRateOf(path, index), 0);
    }
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(VatTableTest, SavesFiveLittleEndianDoubles) {
    ASSERT_EQ(SaveVatRates(path, {23, 13, 6.5, 0, 36}), 0);
    const std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 40u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\0\0\0\0\0\0\x37\x40", 8));   // 23
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\0\0\0\x1A\x40", 8));  // 6.5
    VatRates rates{};
    EXPECT_EQ(LoadVatRates(path, rates), 0);
    EXPECT_EQ(rates, (VatRates{23, 13, 6.5, 0, 36}));
    EXPECT_EQ(VatRateOf(path, 2), 6.5);
    EXPECT_EQ(VatRateOf(path, 4), 36);
    EXPECT_EQ(VatRateOf(path, -1), 0);
    EXPECT_EQ(VatRateOf(path, 5), 0);
}

TEST_F(VatTableTest, SaveLeavesBytesBeyondTheRatesAndShortFilesReadZeros) {
    writeBytes(path, std::string(48, '\xAA'));
    ASSERT_EQ(SaveVatRates(path, {1, 2, 3, 4, 5}), 0);
    const std::string bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(bytes.substr(40), std::string(8, '\xAA'));

    writeBytes(path, bytes.substr(0, 16));
    VatRates rates{9, 9, 9, 9, 9};
    EXPECT_EQ(LoadVatRates(path, rates), 0);
    EXPECT_EQ(rates, (VatRates{1, 2, 0, 0, 0}));
    EXPECT_EQ(VatRateOf(path, 3), 0);
}

TEST_F(VatTableTest, UnusableFileFailsAndReadsZero) {
    const std::string directory = dir.path();
    VatRates rates{};
    EXPECT_EQ(LoadVatRates(directory, rates), -1);
    EXPECT_EQ(SaveVatRates(directory, rates), -1);
    EXPECT_EQ(VatRateOf(directory, 0), 0);
    EXPECT_EQ(SaveVatRates(dir.file("missing/vats.dat"), rates), -1);
}

// A numpunct facet with "," as the mark, for machines with no such locale installed.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

// Puts the process in a "," locale for the test's lifetime, C and C++ alike where possible.
class CommaLocale {
  public:
    CommaLocale()
        : previous_(std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct))) {
        for (const char* name : {"el_GR.UTF-8", "de_DE.UTF-8", "el_GR", "de_DE"}) {
            if (std::setlocale(LC_NUMERIC, name) != nullptr) {
                break;
            }
        }
    }
    ~CommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        std::locale::global(previous_);
    }

  private:
    std::locale previous_;
};

void expectParsingIndependentOfLocale() {
    std::array<std::string, 5> texts{"23", "6.5", "6,5", " 13 ", "0"};
    VatRates rates{};
    EXPECT_EQ(ParseVatRates(texts, rates), 0);
    EXPECT_EQ(rates, (VatRates{23, 6.5, 6.5, 13, 0}));
    EXPECT_EQ(texts[1], "6,5");

    for (const char* bad : {"", "abc", "1.2.3", "1e2", "6,5%"}) {
        texts = {"1.5", "2", bad, "x.y", "9"};
        rates = {7, 7, 7, 7, 7};
        EXPECT_EQ(ParseVatRates(texts, rates), -1) << bad;
        EXPECT_EQ(texts[0], "1,5");
        EXPECT_EQ(texts[3], "x.y");  // not reached
        EXPECT_EQ(rates, (VatRates{7, 7, 7, 7, 7}));
    }
    EXPECT_EQ(FormatRateForMatch(23), "23.00");
    EXPECT_EQ(FormatRateForMatch(6.5), "6.50");
    EXPECT_EQ(FormatRateForMatch(0), "0.00");
    EXPECT_EQ(FormatRateForMatch(-0.001), "0.00");
    EXPECT_EQ(FormatRateForMatch(13.999), "14.00");
}

TEST(VatRatesTextTest, ParsesAndFormatsTheSameUnderAPointLocale) {
    expectParsingIndependentOfLocale();
}

TEST(VatRatesTextTest, ParsesAndFormatsTheSameUnderACommaLocale) {
    const CommaLocale comma;
    expectParsingIndependentOfLocale();
}

TEST(VatRatesTextTest, FormatsForDisplayWithTheGivenSeparator) {
    EXPECT_EQ(FormatRateForDisplay(23, ","), "23");
    EXPECT_EQ(FormatRateForDisplay(6.5, ","), "6,5");
    EXPECT_EQ(FormatRateForDisplay(6.5, "."), "6.5");
    EXPECT_EQ(FormatRateForDisplay(0, ","), "0");
    EXPECT_EQ(FormatRateForDisplay(-0.0, ","), "0");
    EXPECT_EQ(FormatRateForDisplay(0.1 + 0.2, ","), "0,3");
}

}  // namespace
}  // namespace merovan::vat
