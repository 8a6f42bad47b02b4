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

std::string toRegisterCodes(std::string_view text, link::GreekVesko& greek) {
    greek.InSring(common::toUpper1253(text), link::GreekVesko::kToRegister);
    return greek.GreekString();
}

}  // namespace

std::string FoldAccents(std::string_view text) {
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

std::string PrepareRegisterText(std::string_view text, bool saleLine,
                                const ItemTextConverter& converter, link::GreekVesko& greek) {
    std::string working = FoldAccents(converter.convert(text, true));
    if (saleLine) {
        for (char& c : working) {
            if (static_cast<unsigned char>(c) == kFlorinByte) {
                c = kCapitalDelta;
            }
        }
    }
    return toRegisterCodes(working, greek);
}

std::string PrepareCommentText(std::string_view text, link::GreekVesko& greek) {
    greek.InSring(common::toUpper1253(text), link::GreekVesko::kFromDosGreek);
    return toRegisterCodes(FoldAccents(greek.GreekString()), greek);
}

}  // namespace merovan::jobs
