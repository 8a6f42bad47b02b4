#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <locale>

#include "core/vat/vat_table.h"
#include "support/read_file.h"
#include "support/temp_dir.h"

namespace merovan::vat {
namespace {

using testing::readFile;

TEST(VatTableTest, MissingFileIsCreatedEmptyAndRatesAreFiveLittleEndianDoubles) {
    testing::TempDir dir;
    const std::string path = dir.file(kVatFileName);
    EXPECT_EQ(loadVatRates(path).value(), VatRates{});
    EXPECT_EQ(std::filesystem::file_size(path), 0u);

    const VatRates rates{1, 2, 3, 4, 5};
    const auto directory = loadVatRates(dir.path.string());  // a directory is no rates file
    ASSERT_FALSE(directory);
    EXPECT_NE(directory.error().what.find(dir.path.string()), std::string::npos);
    EXPECT_FALSE(saveVatRates(dir.path.string(), rates));
    EXPECT_FALSE(saveVatRates(dir.file("missing/vats.dat"), rates));

    // Five little-endian doubles at the start of the file.
    testing::writeBytes(path, std::string(48, '\xAA'));
    ASSERT_TRUE(saveVatRates(path, {23, 13, 6.5, 0, 36}));
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 48u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\0\0\0\0\0\0\x37\x40", 8));   // 23
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\0\0\0\x1A\x40", 8));  // 6.5
    EXPECT_EQ(bytes.substr(40), std::string(8, '\xAA'));  // beyond the rates: left alone
    EXPECT_EQ(loadVatRates(path).value(), (VatRates{23, 13, 6.5, 0, 36}));

    testing::writeBytes(path, bytes.substr(0, 16));  // a short file: the rest reads 0
    EXPECT_EQ(loadVatRates(path).value(), (VatRates{23, 13, 0, 0, 0}));
}

void expectTheSameWhateverTheLocale() {
    std::array<std::string, 5> texts{"23", "6.5", "6,5", " 13 ", "0"};
    VatRates rates{};
    EXPECT_EQ(parseVatRates(texts, rates), 0);
    EXPECT_EQ(rates, (VatRates{23, 6.5, 6.5, 13, 0}));
    EXPECT_EQ(texts[1], "6,5");
    for (const char* bad : {"", "abc", "1.2.3", "1e2"}) {
        texts = {"1.5", "2", bad, "x.y", "9"};
        rates = {7, 7, 7, 7, 7};
        EXPECT_EQ(parseVatRates(texts, rates), -1) << bad;
        EXPECT_EQ(texts[0] + texts[3], "1,5x.y");  // edited up to the failing text only
        EXPECT_EQ(rates, (VatRates{7, 7, 7, 7, 7}));
    }
    EXPECT_EQ(formatRateForMatch(23), "23.00");
    EXPECT_EQ(formatRateForMatch(6.5), "6.50");
    EXPECT_EQ(formatRateForMatch(-0.001), "0.00");
    EXPECT_EQ(formatRateForDisplay(23, ","), "23");
    EXPECT_EQ(formatRateForDisplay(6.5, ","), "6,5");
    EXPECT_EQ(formatRateForDisplay(0.1 + 0.2, "."), "0.3");
    EXPECT_EQ(formatRateForDisplay(0, ","), "0");
}

TEST(VatRatesTextTest, SameUnderAPointAndACommaLocale) {
    expectTheSameWhateverTheLocale();

    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new Comma));
    for (const char* name : {"el_GR.UTF-8", "de_DE.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            break;
        }
    }
    expectTheSameWhateverTheLocale();
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

}  // namespace
}  // namespace merovan::vat
