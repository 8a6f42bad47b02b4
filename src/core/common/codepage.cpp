#include "core/common/codepage.h"

#include <array>

namespace merovan::common {
namespace {

// 0x80..0xBF of code page 1253; 0 marks a byte the code page leaves undefined.
constexpr std::array<char16_t, 64> kCp1253High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0,      0x2030, 0,      0x2039, 0,      0,      0,      0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0,      0x2122, 0,      0x203A, 0,      0,      0,      0,       // 98
    0x00A0, 0x0385, 0x0386, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0,      0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x2015,  // A8
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x0384, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0388, 0x0389, 0x038A, 0x00BB, 0x038C, 0x00BD, 0x038E, 0x038F,  // B8
};

// 0x80..0xFF of code page 737.
constexpr std::array<char16_t, 128> kCp737High = {
    0x0391, 0x0392, 0x0393, 0x0394, 0x0395, 0x0396, 0x0397, 0x0398,  // 80
    0x0399, 0x039A, 0x039B, 0x039C, 0x039D, 0x039E, 0x039F, 0x03A0,  // 88
    0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03A6, 0x03A7, 0x03A8, 0x03A9,  // 90
    0x03B1, 0x03B2, 0x03B3, 0x03B4, 0x03B5, 0x03B6, 0x03B7, 0x03B8,  // 98
    0x03B9, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BE, 0x03BF, 0x03C0,  // A0
    0x03C1, 0x03C3, 0x03C2, 0x03C4, 0x03C5, 0x03C6, 0x03C7, 0x03C8,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x03C9, 0x03AC, 0x03AD, 0x03AE, 0x03CA, 0x03AF, 0x03CC, 0x03CD,  // E0
    0x03CB, 0x03CE, 0x0386, 0x0388, 0x0389, 0x038A, 0x038C, 0x038E,  // E8
    0x038F, 0x00B1, 0x2265, 0x2264, 0x03AA, 0x03AB, 0x00F7, 0x2248,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  // F8
};

// Reverse of cp1253ToUnicode for the characters above 0x7F, built once.
struct ReverseCp1253 {
    std::array<std::pair<char32_t, unsigned char>, 128> entries{};
    ReverseCp1253() {
        for (int b = 0x80; b <= 0xFF; ++b) {
            entries[static_cast<std::size_t>(b - 0x80)] = {
                cp1253ToUnicode(static_cast<unsigned char>(b)), static_cast<unsigned char>(b)};
        }
    }
};

// Decodes one UTF-8 sequence at text[pos]; returns its length, or 0 when malformed.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& character) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    if (lead < 0x80) {
        character = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        character = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        character = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        character = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        character = (character << 6) | (next & 0x3F);
    }
    return length;
}

}  // namespace

char32_t cp1253ToUnicode(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte < 0xC0) {
        const char16_t mapped = kCp1253High[byte - 0x80];
        return mapped != 0 ? mapped : byte;
    }
    if (byte == 0xD2 || byte == 0xFF) {
        return byte;
    }
    return 0x0390 + (byte - 0xC0);
}

char32_t cp737ToUnicode(unsigned char byte) {
    return byte < 0x80 ? byte : kCp737High[byte - 0x80];
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string cp1253ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        appendUtf8(out, cp1253ToUnicode(static_cast<unsigned char>(b)));
    }
    return out;
}

std::string cp737ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes) {
        appendUtf8(out, cp737ToUnicode(static_cast<unsigned char>(b)));
    }
    return out;
}

bool unicodeToCp1253(char32_t character, unsigned char& byte) {
    if (character < 0x80) {
        byte = static_cast<unsigned char>(character);
        return true;
    }
    static const ReverseCp1253 kReverse;
    for (const auto& [unicode, b] : kReverse.entries) {
        if (unicode == character) {
            byte = b;
            return true;
        }
    }
    return false;
}

std::string utf8ToCp1253(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t character = 0;
        std::size_t length = decodeUtf8(utf8, pos, character);
        if (length == 0) {
            out += utf8[pos];
            ++pos;
            continue;
        }
        unsigned char byte = '?';
        if (!unicodeToCp1253(character, byte)) {
            byte = '?';
        }
        out += static_cast<char>(byte);
        pos += length;
    }
    return out;
}

namespace {

unsigned char upper1253(unsigned char b) {
    if (b >= 'a' && b <= 'z') {
        return static_cast<unsigned char>(b - 'a' + 'A');
    }
    switch (b) {
        case 0xF2:
            return 0xD3;  // final sigma
        case 0xDC:
            return 0xA2;  // alpha with tonos
        case 0xDD:
            return 0xB8;
        case 0xDE:
            return 0xB9;
        case 0xDF:
            return 0xBA;
        case 0xFC:
            return 0xBC;
        case 0xFD:
            return 0xBE;
        case 0xFE:
            return 0xBF;
        case 0xFA:
            return 0xDA;
        case 0xFB:
            return 0xDB;
        default:
            break;
    }
    if (b >= 0xE1 && b <= 0xF9) {
        return static_cast<unsigned char>(b - 0x20);
    }
    return b;
}

unsigned char lower1253(unsigned char b) {
    if (b >= 'A' && b <= 'Z') {
        return static_cast<unsigned char>(b - 'A' + 'a');
    }
    switch (b) {
        case 0xA2:
            return 0xDC;
        case 0xB8:
            return 0xDD;
        case 0xB9:
            return 0xDE;
        case 0xBA:
            return 0xDF;
        case 0xBC:
            return 0xFC;
        case 0xBE:
            return 0xFD;
        case 0xBF:
            return 0xFE;
        case 0xDA:
            return 0xFA;
        case 0xDB:
            return 0xFB;
        default:
            break;
    }
    if (b >= 0xC1 && b <= 0xD9 && b != 0xD2) {
        return static_cast<unsigned char>(b + 0x20);
    }
    return b;
}

template <typename Map>
std::string mapBytes(std::string_view bytes, Map map) {
    std::string out(bytes);
    for (char& c : out) {
        c = static_cast<char>(map(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

std::string toUpper1253(std::string_view bytes) {
    return mapBytes(bytes, upper1253);
}
std::string toLower1253(std::string_view bytes) {
    return mapBytes(bytes, lower1253);
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

}  // namespace merovan::common
