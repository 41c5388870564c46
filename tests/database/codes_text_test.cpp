#include "database/codes_text.h"

#include <gtest/gtest.h>

#include "database/cp1251.h"
#include "database/database_constants.h"

namespace hk::database {
namespace {

using Lines = std::vector<std::string>;

TEST(TextToLines, EveryKindOfLineEndEndsALine) {
    EXPECT_EQ(SplitLines(std::string_view("a\r\nb\nc\rd")), (Lines{"a", "b", "c", "d"}));
    // LF then CR is two line ends, not one.
    EXPECT_EQ(SplitLines(std::string_view("a\n\rb")), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines(std::string_view("\r\n\r\n")), (Lines{"", ""}));
}

TEST(TextToLines, TrailingLineEndAddsNoLineAndEmptyTextHasNone) {
    EXPECT_EQ(SplitLines(std::string_view("last\r\n")), Lines{"last"});
    EXPECT_EQ(SplitLines(std::string_view("last")), Lines{"last"});
    EXPECT_EQ(SplitLines(std::string_view("last\r")), Lines{"last"});
    EXPECT_TRUE(SplitLines(std::string_view("")).empty());
}

TEST(TextToLines, ZeroByteEndsTheText) {
    const std::string text("one\r\ntw\0o\r\nthree", 17);
    EXPECT_EQ(SplitLines(std::string_view(text)), (Lines{"one", "tw"}));
    const std::vector<uint8_t> bytes = {0, 'x', '\n'};
    EXPECT_TRUE(SplitLines(bytes).empty());
}

TEST(TabExpansion, TabsReachTheNextEightColumnStop) {
    EXPECT_EQ(ExpandTabs("a\tb"), "a       b");
    EXPECT_EQ(ExpandTabs("\tx"), "        x");
    EXPECT_EQ(ExpandTabs("1234567\tx"), "1234567 x");
    EXPECT_EQ(ExpandTabs("12345678\tx"), "12345678        x");
    EXPECT_EQ(ExpandTabs("ab\tcdefghij\tk"), "ab      cdefghij        k");
    EXPECT_EQ(ExpandTabs("end\t"), "end     ");
    EXPECT_EQ(ExpandTabs("\t\t"), std::string(16, ' '));
    EXPECT_EQ(ExpandTabs("no tabs"), "no tabs");
}

TEST(TabExpansion, CyrillicLettersTakeOneColumnEach) {
    const std::string code = *Utf8ToCp1251("Код");
    EXPECT_EQ(ExpandTabs(code + "\tx"), code + "     x");
}

TEST(OnlineEntry, MarkerAtTheStartCarriesTheIdentifier) {
    const std::string line = std::string(kOnlineMarker) + "7731";
    EXPECT_EQ(OnlineMarkerPosition(line), 1u);
    EXPECT_EQ(OnlineIdentifier(line), "7731");
    EXPECT_EQ(OnlineIdentifier(std::string(kOnlineMarker) + " 12 "), " 12 ") << "used as is";
    EXPECT_EQ(OnlineIdentifier(kOnlineMarker), "");
}

TEST(OnlineEntry, MarkerElsewhereIsFoundButCarriesNoIdentifier) {
    const std::string line = "see " + std::string(kOnlineMarker) + "1";
    EXPECT_EQ(OnlineMarkerPosition(line), 5u);
    EXPECT_FALSE(OnlineIdentifier(line).has_value());
    EXPECT_EQ(OnlineMarkerPosition("***Number:1"), 0u);
}

TEST(OnlineEntry, MarkerIsTheRussianWordInWindows1251) {
    EXPECT_EQ(kOnlineMarker.size(), 9u);
    EXPECT_EQ(Cp1251ToUtf8(kOnlineMarker), "***Номер:");
}

}  // namespace
}  // namespace hk::database
