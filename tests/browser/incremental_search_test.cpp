#include "browser/incremental_search.h"

#include <gtest/gtest.h>

#include "toolkit/codepage.h"

namespace {

using hk::browser::IncrementalSearch;

// Feeds the search box texts one after another, as typing or deleting would,
// and returns the index selected after each (-1 when the selection stayed).
class SearchBox : public ::testing::Test {
  protected:
    IncrementalSearch search{[](const std::string& s) { return hk::toolkit::upperCaseCp1251(s); }};
    std::vector<std::string> titles;

    int Type(const std::string& textUtf8) {
        search.SetTitles(Cp1251(titles));
        const auto r = search.Change(hk::toolkit::utf8ToCp1251(textUtf8));
        return r ? *r : -1;
    }
    static std::vector<std::string> Cp1251(const std::vector<std::string>& utf8) {
        std::vector<std::string> out;
        for (const auto& t : utf8) out.push_back(hk::toolkit::utf8ToCp1251(t));
        return out;
    }
};

TEST_F(SearchBox, LettersSelectFirstTitleWithThatBeginningInAnyCase) {
    titles = {"Aliens (PC)", "warcraft II (PC)", "Wolfenstein 3D (PC)", "WORMS (PC)"};
    EXPECT_EQ(Type("W"), 1);
    EXPECT_EQ(Type("Wo"), 2);
    EXPECT_EQ(Type("Wor"), 3);
}

TEST_F(SearchBox, CharacterNoTitleContinuesKeepsSelectionUntilMoreMatch) {
    titles = {"Doom (PC)", "Dune II (PC)", "Duke Nukem 3D (PC)"};
    EXPECT_EQ(Type("D"), 0);
    EXPECT_EQ(Type("Dx"), -1);
    // Still only one character matches anywhere: nothing better than before.
    EXPECT_EQ(Type("Dxu"), -1);
    EXPECT_EQ(search.BestMatchLength(), 1);
    // Deleting back to where the last choice was made lowers the bar again.
    EXPECT_EQ(Type("Dx"), -1);
    EXPECT_EQ(Type("D"), 0);
    EXPECT_EQ(Type("Du"), 1);
}

TEST_F(SearchBox, ForwardTypingPrefersLongerMatchEvenIfNotComplete) {
    titles = {"Abc", "Abd", "Xyz"};
    EXPECT_EQ(Type("A"), 0);
    // "Abz": the first title matching more than one character wins, though
    // neither matches all three.
    EXPECT_EQ(Type("Abz"), 0);
    EXPECT_EQ(search.BestMatchLength(), 2);
}

TEST_F(SearchBox, SpaceTypedAndDeletedMovesBetweenTitleAndSequel) {
    titles = {"Doom", "Doom II"};
    EXPECT_EQ(Type("d"), 0);
    EXPECT_EQ(Type("do"), 0);
    EXPECT_EQ(Type("doom"), 0);
    EXPECT_EQ(Type("doom "), 1);
    EXPECT_EQ(Type("doom"), 0);
}

TEST_F(SearchBox, ClearingTheBoxChangesNothing) {
    titles = {"Doom", "Quake"};
    EXPECT_EQ(Type("q"), 1);
    EXPECT_EQ(Type(""), -1);
    EXPECT_EQ(search.PreviousTextLength(), 1);
    EXPECT_EQ(search.BestMatchLength(), 1);
}

TEST_F(SearchBox, CyrillicLettersIgnoreCaseIncludingYo) {
    titles = {"Ведьмак", "Ёжик в тумане", "ёлка"};
    EXPECT_EQ(Type("ё"), 1);
    EXPECT_EQ(Type("ёЛ"), 2);
    EXPECT_EQ(Type("в"), 0);
}

TEST_F(SearchBox, PunctuationMustBeTypedAsInTitle) {
    titles = {"Half-Life", "Half Life 2"};
    EXPECT_EQ(Type("half"), 0);
    EXPECT_EQ(Type("half "), 1);
    EXPECT_EQ(search.BestMatchLength(), 5);
}

TEST_F(SearchBox, ResetLetsTheNextSearchSelectFromTheFirstCharacter) {
    titles = {"Doom", "Quake"};
    EXPECT_EQ(Type("doom"), 0);
    search.Reset(0, 0);
    EXPECT_EQ(Type("q"), 1);
}

}  // namespace
