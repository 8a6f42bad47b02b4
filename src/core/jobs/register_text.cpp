#include "core/jobs/register_text.h"

#include <array>
#include <utility>

#include "core/common/codepage.h"

namespace merovan::jobs {
namespace {

// Code page 1253 bytes: ά έ ή ί ό ύ ώ, and capital omega.
constexpr std::array<std::pair<unsigned char, unsigned char>, 7> kAccentFolds = {{
    {0xDC, 'A'},
    {0xDD, 'E'},
    {0xDE, 'H'},
    {0xDF, 'I'},
    {0xFC, 'O'},
    {0xFD, 'Y'},
    {0xFE, 0xD9},
}};

constexpr unsigned char kFlorinByte = 131;  // where some POS programs put "Δ"
constexpr char kCapitalDelta = '\xC4';

std::string toRegisterCodes(std::string_view text, link::RegisterCharset& greek) {
    greek.convert(common::toUpper1253(text), link::RegisterCharset::kToRegister);
    return greek.converted();
}

}  // namespace

std::string foldAccents(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        for (const auto& [accented, plain] : kAccentFolds) {
            if (static_cast<unsigned char>(c) == accented) {
                c = static_cast<char>(plain);
                break;
            }
        }
    }
    return out;
}

std::string prepareRegisterText(std::string_view text, bool saleLine,
                                const ItemTextConverter& converter, link::RegisterCharset& greek) {
    std::string working = foldAccents(converter.convert(text, true));
    if (saleLine) {
        for (char& c : working) {
            if (static_cast<unsigned char>(c) == kFlorinByte) {
                c = kCapitalDelta;
            }
        }
    }
    return toRegisterCodes(working, greek);
}

std::string prepareCommentText(std::string_view text, link::RegisterCharset& greek) {
    greek.convert(common::toUpper1253(text), link::RegisterCharset::kFromDosGreek);
    return toRegisterCodes(foldAccents(greek.converted()), greek);
}

}  // namespace merovan::jobs
