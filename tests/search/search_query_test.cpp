#include "search/search_query.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace lexivo {
namespace {

const QString kByWord = QStringLiteral(" ORDER BY [Word]");
const QString kByLength = QStringLiteral(" ORDER BY LEN([Word]),[Word]");

TEST(SearchQuery, ModeNamesFollowTheButtonIndexes) {
    const QStringList expected{"Anagram", "Synogram", "Palindrome", "Mask", "Add", "Delete", "Letters"};
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(SearchMode(i), expected[i]) << i;
    EXPECT_EQ(SearchMode(-1), QString());
    EXPECT_EQ(SearchMode(7), QString());
}

TEST(SearchQuery, LengthClauseUsesTheLeadingNumbersOnlyWhenAMinimumIsChosen) {
    EXPECT_EQ(LengthClause(3, "4 letters", "7 letters"), "LEN([Word]) BETWEEN 4 AND 7");
    EXPECT_EQ(LengthClause(49, "50 letters", "50 letters"), "LEN([Word]) BETWEEN 50 AND 50");
    // "(All words)" in the minimum list means no limit, whatever the maximum shows.
    EXPECT_EQ(LengthClause(0, "(All words)", "7 letters"), QString());
    // A text without a leading number reads as 0; a fraction stays a plain decimal.
    EXPECT_EQ(LengthClause(1, "letters", " 7.50 letters"), "LEN([Word]) BETWEEN 0 AND 7.5");
}

TEST(SearchQuery, OrderClauses) {
    EXPECT_EQ(OrderClause(true), kByLength);
    EXPECT_EQ(OrderClause(false), kByWord);
}

TEST(SearchQuery, LetterModeTexts) {
    EXPECT_EQ(AnagramQuery("Tea", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Sorted]='tea' AND LEN([Sorted])=3 ORDER BY [Word]");
    // The length condition stands between the key test and the length test on the key.
    EXPECT_EQ(AnagramQuery("TEA", "LEN([Word]) BETWEEN 3 AND 3", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Sorted]='tea' AND LEN([Word]) BETWEEN 3 AND 3 AND "
              "LEN([Sorted])=3 ORDER BY [Word]");
    EXPECT_EQ(SynogramQuery("aab", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Letters]='ba' ORDER BY [Word]");
    EXPECT_EQ(SynogramQuery("aab", "", kByWord), SynogramQuery("AB", "", kByWord));
    EXPECT_EQ(LettersQuery("cat", "LEN([Word]) BETWEEN 4 AND 7", kByLength),
              "SELECT [Word] FROM [Dictionary] WHERE [Letters] LIKE '*t*c*a*' AND LEN([Word]) BETWEEN 4 AND 7 "
              "ORDER BY LEN([Word]),[Word]");
    // An empty key matches every row.
    EXPECT_EQ(LettersPattern(""), "*");
}

TEST(SearchQuery, StarInTheInputStaysInTheSortedKeyOnly) {
    EXPECT_EQ(InputSortedKey("a*B"), "ba*");
    EXPECT_EQ(InputLettersKey("a*B"), "ba");
    EXPECT_EQ(LettersQuery("t*a", "", kByWord), LettersQuery("ta", "", kByWord));
}

TEST(SearchQuery, MaskPaletteAndPalindromeAndFindTexts) {
    EXPECT_EQ(MaskQuery("c@@k", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE 'c??k'  ORDER BY [Word]");
    EXPECT_EQ(MaskQuery("#a#e", "LEN([Word]) BETWEEN 4 AND 4", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '?a?e'  AND LEN([Word]) BETWEEN 4 AND 4 ORDER BY "
              "[Word]");
    // The mask is matched as typed, capitals and all.
    EXPECT_EQ(MaskPattern("C@#*@"), "C??*?");
    EXPECT_EQ(PalindromeQuery("", kByWord), "SELECT [Word] FROM Dictionary ORDER BY [Word]");
    EXPECT_EQ(PalindromeQuery("LEN([Word]) BETWEEN 4 AND 7", kByLength),
              "SELECT [Word] FROM Dictionary WHERE LEN([Word]) BETWEEN 4 AND 7 ORDER BY LEN([Word]),[Word]");
    EXPECT_EQ(FindWordQuery("cat", kByWord), "SELECT * FROM [Dictionary] WHERE [Word]='cat' ORDER BY [Word]");
}

TEST(SearchQuery, QuotesInTheInputAreDoubled) {
    EXPECT_EQ(FindWordQuery("don't", kByWord), "SELECT * FROM [Dictionary] WHERE [Word]='don''t' ORDER BY [Word]");
    EXPECT_EQ(MaskQuery("o'@", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE 'o''?'  ORDER BY [Word]");
    EXPECT_EQ(AnagramQuery("'", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Sorted]='''' AND LEN([Sorted])=1 ORDER BY [Word]");
    EXPECT_EQ(LettersQuery("a'", "", kByWord),
              "SELECT [Word] FROM [Dictionary] WHERE [Letters] LIKE '*a*''*' ORDER BY [Word]");
}

TEST(SearchQuery, KeysCountCharactersNotUnits) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_TRUE(AnagramQuery("a" + emoji, "", kByWord).contains("LEN([Sorted])=2"));
    EXPECT_EQ(LettersPattern(emoji + "a"), "*" + emoji + "*a*");
}

TEST(MaskTestRows, VowelsAndConsonants) {
    const MaskTest cook("c@@k");
    EXPECT_TRUE(cook.accepts("cook"));
    EXPECT_FALSE(cook.accepts("cask"));  // s is not a vowel
    EXPECT_FALSE(cook.accepts("cork"));
    // The test uses the lower-cased word; the mask's own case does not matter to it.
    EXPECT_TRUE(cook.accepts("COOK"));
    EXPECT_TRUE(MaskTest("C@@K").accepts("Cook"));

    const MaskTest cake("#a#e");
    EXPECT_TRUE(cake.accepts("cake"));
    EXPECT_TRUE(cake.accepts("make"));
    EXPECT_FALSE(cake.accepts("ease"));
    EXPECT_TRUE(MaskTest("@pple").accepts("apple"));
}

TEST(MaskTestRows, YIsAConsonantAndOnlyAToZCount) {
    EXPECT_TRUE(MaskTest("#").accepts("y"));
    EXPECT_FALSE(MaskTest("@").accepts("y"));
    for (const char* other : {"1", "-", "'", "\xC3\xA9", "\xC3\x89", " "}) {
        EXPECT_FALSE(MaskTest("@").accepts(QString::fromUtf8(other))) << other;
        EXPECT_FALSE(MaskTest("#").accepts(QString::fromUtf8(other))) << other;
    }
    // A word with characters outside ASCII is lower-cased as a whole, its capitals included.
    EXPECT_TRUE(
        MaskTest("?#@").accepts(QString::fromUtf8("\xC3\x89"
                                                  "BA")));
}

TEST(MaskTestRows, PlaceholdersAfterTheFirstStarCountFromTheEnd) {
    const MaskTest endsInVowel("c*@");
    EXPECT_TRUE(endsInVowel.accepts("cafe"));
    EXPECT_FALSE(endsInVowel.accepts("cat"));
    EXPECT_TRUE(endsInVowel.accepts("ca"));
    // Before the star the positions stay where they are.
    EXPECT_TRUE(MaskTest("#@*").accepts("base"));
    EXPECT_FALSE(MaskTest("#@*").accepts("bsae"));
    // Every "*" counts as if it stood before the placeholders after the first one: here the consonant is
    // tested three characters from the end and the vowel one before the last.
    const MaskTest twoStars("*#*@?");
    EXPECT_TRUE(twoStars.accepts("bxax"));
    EXPECT_TRUE(twoStars.accepts("aabxax"));
    EXPECT_FALSE(twoStars.accepts("xaaex"));
    EXPECT_FALSE(twoStars.accepts("bxxx"));
    // A word shorter than the mask's placeholders need is refused, never read outside the word.
    EXPECT_FALSE(MaskTest("@*@").accepts(""));
    EXPECT_FALSE(MaskTest("####@").accepts("ab"));
    // Without placeholders every row passes.
    EXPECT_FALSE(MaskTest("c?*").hasPlaceholders());
    EXPECT_TRUE(MaskTest("c?*").accepts("anything"));
}

TEST(Reverse, CharactersInReverseOrder) {
    EXPECT_EQ(ReverseString("abc"), "cba");
    EXPECT_EQ(ReverseString(""), "");
    EXPECT_EQ(ReverseString("leveL"), "Level");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(ReverseString("a" + emoji + "b"), "b" + emoji + "a");
}

}  // namespace
}  // namespace lexivo
