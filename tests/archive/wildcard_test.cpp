// Member names against FileSpec patterns.
#include <gtest/gtest.h>

#include "archive/wildcard.h"

namespace hk::archive {
namespace {

TEST(Wildcard, PlainNamesIgnoreCaseOfLatinLettersOnly) {
    EXPECT_TRUE(wildcardMatch("GAMES.TXT", "games.txt"));
    EXPECT_TRUE(wildcardMatch("games.txt", "Games.Txt"));
    EXPECT_FALSE(wildcardMatch("games.txt.bak", "games.txt"));
    EXPECT_FALSE(wildcardMatch("games.tx", "games.txt"));
    EXPECT_FALSE(wildcardMatch("game.txt", "games.txt"));
    // Cyrillic letters in 1251 are compared as they are.
    EXPECT_TRUE(wildcardMatch("\xE8\xE3\xF0\xE0.txt", "\xE8\xE3\xF0\xE0.TXT"));
    EXPECT_FALSE(wildcardMatch("\xE8\xE3\xF0\xE0.txt", "\xC8\xC3\xD0\xC0.txt"));
}

TEST(Wildcard, FoldersMatterOnlyWhenThePatternNamesOne) {
    EXPECT_TRUE(wildcardMatch("data\\games.txt", "games.txt"));
    EXPECT_TRUE(wildcardMatch("a\\b\\games.txt", "GAMES.TXT"));
    EXPECT_TRUE(wildcardMatch("data\\games.txt", "data\\games.txt"));
    EXPECT_FALSE(wildcardMatch("other\\games.txt", "data\\games.txt"));
    EXPECT_TRUE(wildcardMatch("data\\games.txt", "*\\games.txt"));
    // A member without a folder has an empty folder part, which fits any.
    EXPECT_TRUE(wildcardMatch("games.txt", "data\\games.txt"));
}

TEST(Wildcard, StarsAndQuestionMarks) {
    EXPECT_TRUE(wildcardMatch("games.txt", "*.txt"));
    EXPECT_TRUE(wildcardMatch("games.txt", "g*.*"));
    // As in DOS, a pattern without an extension takes names without one.
    EXPECT_FALSE(wildcardMatch("games.txt", "*"));
    EXPECT_TRUE(wildcardMatch("games", "*"));
    EXPECT_TRUE(wildcardMatch("games.txt", "g?mes.t?t"));
    EXPECT_FALSE(wildcardMatch("games.txt", "g?mes.t?"));
    EXPECT_FALSE(wildcardMatch("games.doc", "*.txt"));
    EXPECT_TRUE(wildcardMatch("a1b2c3.txt", "a*b*c*.txt"));
    EXPECT_FALSE(wildcardMatch("a1b2c3.txt", "a*c*b*.txt"));
    // A name without an extension still has to fit the whole pattern.
    EXPECT_FALSE(wildcardMatch("README", "*.txt"));
    EXPECT_TRUE(wildcardMatch("README", "READ*"));
    // Wildcards count on the name's side too.
    EXPECT_TRUE(wildcardMatch("g*.txt", "games.txt"));
}

TEST(Wildcard, TheExtensionStartsAtTheLastDotOfTheFileName) {
    EXPECT_TRUE(wildcardMatch("a.tar.gz", "*.gz"));
    EXPECT_FALSE(wildcardMatch("a.tar.gz", "*.tar"));
    EXPECT_FALSE(wildcardMatch("a.tar.gz", "a.tar"));
    EXPECT_TRUE(wildcardMatch("a.tar.gz", "a.*"));
    EXPECT_TRUE(wildcardMatch("a.tar.gz", "*.tar.gz"));
    // A dot in a folder name starts no extension.
    EXPECT_TRUE(wildcardMatch("v1.2\\games", "games"));
    EXPECT_TRUE(wildcardMatch("v1.2\\games.txt", "*.txt"));
}

TEST(Wildcard, ManyStarsStayFast) {
    const std::string name(255, 'a');
    EXPECT_FALSE(wildcardMatch(name, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(wildcardMatch(name, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a"));
}

}  // namespace
}  // namespace hk::archive
