#include "toolkit/codepage.h"

#include <array>

namespace hk::toolkit {
namespace {

// Upper half of the code page, 0x80 ... 0xBF; 0xC0 ... 0xFF are U+0410 ... U+044F.
constexpr std::array<char16_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

// Lower-case letters of 0x80 ... 0xBF with their capitals.
constexpr std::array<std::array<unsigned char, 2>, 15> kCyrillicPairs = {{
    {0x90, 0x80},
    {0x83, 0x81},
    {0x9A, 0x8A},
    {0x9C, 0x8C},
    {0x9D, 0x8D},
    {0x9E, 0x8E},
    {0x9F, 0x8F},
    {0xA2, 0xA1},
    {0xBC, 0xA3},
    {0xB4, 0xA5},
    {0xB8, 0xA8},
    {0xBA, 0xAA},
    {0xB3, 0xB2},
    {0xBF, 0xAF},
    {0xBE, 0xBD},
}};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

char16_t cp1251ToUnicode(unsigned char byte) {
    if (byte < 0x80) return byte;
    if (byte >= 0xC0) return static_cast<char16_t>(0x0410 + (byte - 0xC0));
    return kHigh[byte - 0x80];
}

int unicodeToCp1251(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    }
    return -1;
}

char upperCp1251(char c) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z') return static_cast<char>(b - 32);
    if (b >= 0xE0) return static_cast<char>(b - 32);
    for (const auto& pair : kCyrillicPairs) {
        if (pair[0] == b) return static_cast<char>(pair[1]);
    }
    return c;
}

std::string upperCaseCp1251(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperCp1251(c);
    return out;
}

std::string cp1251ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) appendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToCp1251(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = 0;
        char32_t cp = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, cp = lead & 0x07;
        } else {
            out += replacement;
            ++i;
            continue;
        }
        bool ok = i + extra < text.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (b & 0x3F);
        }
        if (!ok) {
            out += replacement;
            ++i;
            continue;
        }
        i += extra + 1;
        const int byte = unicodeToCp1251(cp);
        out += byte < 0 ? replacement : static_cast<char>(byte);
    }
    return out;
}

QString fromCp1251(std::string_view text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char c : text) out.append(QChar(cp1251ToUnicode(static_cast<unsigned char>(c))));
    return out;
}

std::string toCp1251(QStringView text, char replacement) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t cp = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int byte = unicodeToCp1251(cp);
        out += byte < 0 ? replacement : static_cast<char>(byte);
    }
    return out;
}

}  // namespace hk::toolkit
