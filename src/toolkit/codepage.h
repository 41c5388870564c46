#pragma once
// Windows-1251 is the text encoding of the whole database and of every caption the
// program shows; these are the only places where it meets Unicode.
//
// The byte-string half has no Qt dependency so that Qt-free code may reuse it.

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace hk::toolkit {

// Unicode code point of one Windows-1251 byte. The single unassigned byte 0x98 maps to
// U+0098 so that every byte survives a round trip.
char16_t cp1251ToUnicode(unsigned char byte);

// Windows-1251 byte of a code point, or -1 when the code page has no such character.
int unicodeToCp1251(char32_t codePoint);

// Upper case as the code page defines it: Latin a-z, the Russian letters including
// "ё" to "Ё", and the other Cyrillic letters of the page. Every other byte is kept.
char upperCp1251(char c);
std::string upperCaseCp1251(std::string_view text);

// UTF-8 <-> Windows-1251 on byte strings. Characters the code page lacks become
// `replacement`; malformed UTF-8 sequences become `replacement` too.
std::string cp1251ToUtf8(std::string_view text);
std::string utf8ToCp1251(std::string_view text, char replacement = '?');

// The widget edge: QString <-> Windows-1251.
QString fromCp1251(std::string_view text);
std::string toCp1251(QStringView text, char replacement = '?');

}  // namespace hk::toolkit
