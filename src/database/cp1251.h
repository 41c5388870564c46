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

// Converts UTF-8 to Windows-1251. On failure returns nothing and, when `error`
// is given, fills it with where and why.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8, ConversionError* error = nullptr);

// Converts Windows-1251 to UTF-8. The one unassigned byte (0x98) becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view cp1251);

}  // namespace hk::database
