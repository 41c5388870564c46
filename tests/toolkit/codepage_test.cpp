#include <gtest/gtest.h>

#include "toolkit/codepage.h"

using namespace hk::toolkit;

namespace {
std::string allBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b) s += static_cast<char>(b);
    return s;
}
}  // namespace

TEST(CodePage, EveryByteSurvivesUtf8AndQStringRoundTrips) {
    const std::string bytes = allBytes();
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(bytes)), bytes);
    EXPECT_EQ(toCp1251(fromCp1251(bytes)), bytes);
}

TEST(CodePage, RussianTextMapsToItsCodePageBytes) {
    // "Ёлка жёлтая №5" in Windows-1251.
    const std::string cp =
        "\xA8\xEB\xEA\xE0 \xE6\xB8\xEB\xF2\xE0\xFF \xB9"
        "5";
    EXPECT_EQ(fromCp1251(cp), QString::fromUtf8("Ёлка жёлтая №5"));
    EXPECT_EQ(utf8ToCp1251("Ёлка жёлтая №5"), cp);
    EXPECT_EQ(cp1251ToUtf8("\x88\x96\x97"), "€–—");
}

TEST(CodePage, CharactersOutsideThePageBecomeTheReplacement) {
    EXPECT_EQ(toCp1251(QString::fromUtf8("a\u4E2Db\U0001F600c")), "a?b?c");
    EXPECT_EQ(utf8ToCp1251("x\xFFy\xD0", '#'), "x#y#");
}

TEST(CodePage, UpperCaseCoversLatinAllCyrillicLettersAndYo) {
    EXPECT_EQ(upperCaseCp1251(utf8ToCp1251("ёжик abc xyz")), utf8ToCp1251("ЁЖИК ABC XYZ"));
    for (int b = 0xE0; b <= 0xFF; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(upperCp1251(static_cast<char>(b))), b - 32) << b;
    }
    EXPECT_EQ(upperCaseCp1251(utf8ToCp1251("ђѓљњќћџўјґєіїѕ")), utf8ToCp1251("ЂЃЉЊЌЋЏЎЈҐЄІЇЅ"));
    // Capitals, digits, punctuation and the micro sign stay as they are.
    const std::string keep = utf8ToCp1251("АЯЁ09[]{}µ«»");
    EXPECT_EQ(upperCaseCp1251(keep), keep);
}
