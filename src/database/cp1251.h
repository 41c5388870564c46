#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Conversion between UTF-8 and the Windows-1251 code page, for the tools that
// make and inspect databases (the viewer itself never converts member text).
namespace hk::database {

struct ConversionError {
    size_t offset = 0;     // byte offset in the input where conversion stopped
    char32_t codePoint{};  // the character with no Windows-1251 byte (0 for bad UTF-8)
    bool badUtf8 = false;  // the input is not well-formed UTF-8
};

// Unicode character of one Windows-1251 byte; 0 for 0x98, the page's one
// unassigned byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// Windows-1251 byte of a character, or nothing when the page lacks it.
std::optional<unsigned char> UnicodeToCp1251(char32_t codePoint);

// Decodes the well-formed UTF-8 sequence at `at` and moves `at` past it; gives
// nothing (and leaves `at`) for overlong forms, surrogates, values past U+10FFFF
// and cut or broken sequences.
std::optional<char32_t> DecodeUtf8(std::string_view utf8, size_t& at);

// Appends a character of the Basic Multilingual Plane as UTF-8.
void AppendUtf8(std::string& out, char32_t codePoint);

// Converts UTF-8 to Windows-1251. On failure returns nothing and, when `error`
// is given, fills it with where and why.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8, ConversionError* error = nullptr);

// Converts Windows-1251 to UTF-8. The one unassigned byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace hk::database
