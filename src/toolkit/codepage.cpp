#include "toolkit/codepage.h"

#include <array>
#include <optional>

#include "database/cp1251.h"

namespace hk::toolkit {
namespace {

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

}  // namespace

// The table itself lives with the database code, which needs it without Qt. Here the
// unassigned byte 0x98 maps to U+0098 so that every byte survives a round trip.
constexpr unsigned char kUnassigned = 0x98;

char16_t cp1251ToUnicode(unsigned char byte) {
    if (byte == kUnassigned) return kUnassigned;
    return static_cast<char16_t>(database::Cp1251ToUnicode(byte));
}

int unicodeToCp1251(char32_t cp) {
    if (cp == kUnassigned) return kUnassigned;
    const std::optional<unsigned char> byte = database::UnicodeToCp1251(cp);
    return byte ? *byte : -1;
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
    for (char c : text) database::AppendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::string utf8ToCp1251(std::string_view text, char replacement) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const std::optional<char32_t> cp = database::DecodeUtf8(text, i);
        if (!cp) {
            out += replacement;  // a broken sequence costs one byte, then we resynchronise
            ++i;
            continue;
        }
        const int byte = unicodeToCp1251(*cp);
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
