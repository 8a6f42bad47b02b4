#include "core/link/register_charset.h"

#include <array>
#include <cmath>
#include <utility>

#include "core/common/codepage.h"
#include "core/common/numeric.h"
#include "core/common/text.h"

namespace merovan::link {
namespace {

// One replacement byte per input byte; identity where a conversion has no entry.
using ByteMap = std::array<unsigned char, 256>;

ByteMap identityMap() {
    ByteMap map{};
    for (std::size_t b = 0; b < map.size(); ++b) {
        map[b] = static_cast<unsigned char>(b);
    }
    return map;
}

unsigned char cp1253Of(char32_t letter) {
    unsigned char byte = '?';
    common::unicodeToCp1253(letter, byte);
    return byte;
}

// The register prints from its own character set: capitals that look Latin take the Latin
// codes, accented capitals lose their accent, and ω and ώ share one code.
constexpr std::pair<char32_t, unsigned char> kRegisterCodes[] = {
    {U'Α', 65},  {U'Β', 66},  {U'Γ', 133}, {U'Δ', 134}, {U'Ε', 69},  {U'Ζ', 90},  {U'Η', 72},
    {U'Θ', 135}, {U'Ι', 73},  {U'Κ', 75},  {U'Λ', 136}, {U'Μ', 77},  {U'Ν', 78},  {U'Ξ', 137},
    {U'Ο', 79},  {U'Π', 138}, {U'Ρ', 80},  {U'Σ', 102}, {U'Τ', 84},  {U'Υ', 89},  {U'Φ', 139},
    {U'Χ', 88},  {U'Ψ', 140}, {U'Ω', 141}, {U'α', 214}, {U'β', 215}, {U'γ', 216}, {U'δ', 221},
    {U'ε', 222}, {U'ζ', 224}, {U'η', 225}, {U'θ', 226}, {U'ι', 227}, {U'κ', 228}, {U'λ', 229},
    {U'μ', 230}, {U'ν', 231}, {U'ξ', 232}, {U'ο', 233}, {U'π', 234}, {U'ρ', 235}, {U'σ', 236},
    {U'ς', 237}, {U'τ', 238}, {U'υ', 242}, {U'φ', 243}, {U'χ', 244}, {U'ψ', 245}, {U'ω', 250},
    {U'ά', 155}, {U'έ', 157}, {U'ή', 158}, {U'ί', 159}, {U'ό', 162}, {U'ύ', 163}, {U'ϋ', 251},
    {U'ώ', 250}, {U'Ά', 65},  {U'Έ', 69},  {U'Ή', 72},  {U'Ί', 73},  {U'Ό', 79},  {U'Ύ', 89},
    {U'Ώ', 141},
};
static_assert(std::size(kRegisterCodes) == 64);

const ByteMap& registerMap() {
    static const ByteMap kMap = [] {
        ByteMap m = identityMap();
        for (const auto& [letter, code] : kRegisterCodes) {
            m[cp1253Of(letter)] = code;
        }
        return m;
    }();
    return kMap;
}

// DOS Greek text read as 1253: the bytes where code page 737 keeps its Greek letters. ϊ (0xE4)
// and ϋ (0xE8) were never decoded and stay as they are.
const ByteMap& dosGreekMap() {
    static const ByteMap kMap = [] {
        ByteMap m = identityMap();
        const auto decode = [&m](unsigned first, unsigned last) {
            for (unsigned b = first; b <= last; ++b) {
                if (b != 0xE4 && b != 0xE8) {
                    m[b] = cp1253Of(common::cp737ToUnicode(static_cast<unsigned char>(b)));
                }
            }
        };
        decode(0x80, 0xAF);
        decode(0xE0, 0xF0);
        return m;
    }();
    return kMap;
}

const ByteMap& oemToAnsiMap() {
    static const ByteMap kMap = [] {
        ByteMap m{};
        for (std::size_t b = 0; b < m.size(); ++b) {
            m[b] = cp1253Of(common::cp737ToUnicode(static_cast<unsigned char>(b)));
        }
        return m;
    }();
    return kMap;
}

std::string mapBytes(std::string_view text, const ByteMap& map) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(map[static_cast<unsigned char>(c)]);
    }
    return out;
}

}  // namespace

void RegisterCharset::convert(std::string_view text, int mode) {
    if (mode == kToRegister) {
        greekString_ = mapBytes(text, registerMap());
    } else if (mode == kFromDosGreek) {
        greekString_ = mapBytes(text, dosGreekMap());
    }
}

std::string oemToAnsiText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '\0') {
            out += static_cast<char>(oemToAnsiMap()[static_cast<unsigned char>(c)]);
        }
    }
    return out;
}

std::string descriptionVatCategory(std::string_view description, bool disable,
                                   std::string_view defaultCategory) {
    if (disable) {
        return std::string(defaultCategory);
    }
    // Descriptions may come in DOS Greek, and some POS programs type the marker's M in Latin.
    static const std::string kGreekMarker = common::utf8ToCp1253("ΛΠΣΜ");
    static const std::string kLatinMMarker = common::utf8ToCp1253("ΛΠΣM");
    const std::string converted = oemToAnsiText(description);
    std::size_t position = std::string_view::npos;
    for (const std::string* marker : {&kGreekMarker, &kLatinMMarker}) {
        position = description.find(*marker);
        if (position == std::string_view::npos) {
            position = converted.find(*marker);
        }
        if (position != std::string_view::npos) {
            break;
        }
    }
    if (position == std::string_view::npos) {
        return std::string(defaultCategory);
    }
    // The number is read from the description itself, whichever text held the marker.
    const std::size_t column = position + 1;
    const std::string dash = common::mid(description, column + 4, 1);
    const std::optional<double> number =
        common::parseNumber(common::mid(description, column + 5, 2), ",");
    if (dash != "-" || !number) {
        return "8";
    }
    return std::to_string(static_cast<long long>(std::trunc(*number)));
}

}  // namespace merovan::link
