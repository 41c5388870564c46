#include "database/cp1251.h"

#include <gtest/gtest.h>

#include "database/database_constants.h"

namespace hk::database {
namespace {

TEST(Cp1251, EveryAssignedByteSurvivesARoundTrip) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) continue;  // the one byte without a character
        const std::string byte(1, static_cast<char>(b));
        const std::optional<std::string> back = Utf8ToCp1251(Cp1251ToUtf8(byte));
        ASSERT_TRUE(back.has_value()) << "byte " << b;
        EXPECT_EQ(*back, byte) << "byte " << b;
    }
}

TEST(Cp1251, KnownLettersAndSigns) {
    EXPECT_EQ(Utf8ToCp1251("АЯаяЁё№€«»"), "\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88\xAB\xBB");
    EXPECT_EQ(Cp1251ToUtf8("\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88"), "АЯаяЁё№€");
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
}

TEST(Cp1251, UnmappableCharacterIsReportedWithItsOffset) {
    ConversionError error;
    EXPECT_FALSE(Utf8ToCp1251("ab ü", &error).has_value());
    EXPECT_EQ(error.offset, 3u);
    EXPECT_EQ(error.codePoint, U'ü');
    EXPECT_FALSE(error.badUtf8);
    EXPECT_FALSE(Utf8ToCp1251("Ж\xF0\x9F\x98\x80", &error).has_value());
    EXPECT_EQ(error.offset, 2u);
    EXPECT_EQ(error.codePoint, char32_t{0x1F600});
}

TEST(Cp1251, MalformedUtf8IsRefused) {
    for (const std::string bad :
         {"\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xD0", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
        ConversionError error;
        EXPECT_FALSE(Utf8ToCp1251("ok" + bad, &error).has_value());
        EXPECT_TRUE(error.badUtf8);
        EXPECT_EQ(error.offset, 2u);
    }
}

TEST(ErrorTexts, AreTheRussianMessagesInWindows1251) {
    EXPECT_EQ(Cp1251ToUtf8(kDamagedMessage),
              "Ошибка при открытии файла \"hintkeeper.dat\". Возможно файл запорчен или "
              "предназначен для другой версии программы.");
    EXPECT_EQ(Cp1251ToUtf8(kMissingMessage),
              "Ошибка открытия файла \"hintkeeper.dat\". Файл не найден.");
    EXPECT_EQ(kArchivePassword.size(), 17u);
}

}  // namespace
}  // namespace hk::database
