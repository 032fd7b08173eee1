#include "search/search_query.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace lexivo {
namespace {

const QString kByWord = QStringLiteral(" ORDER BY [Word]");
const QString kByLength = QStringLiteral(" ORDER BY LEN([Word]),[Word]");
const QString kSelect = QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE ");

TEST(SearchQuery, ModeNamesFollowTheButtonIndexes) {
    const QStringList expected{"Anagram", "Synogram", "Palindrome", "Mask",  "Add",
                               "Delete",  "Letters",  "Rack",       "Phrase"};
    for (int i = 0; i < expected.size(); ++i) EXPECT_EQ(SearchMode(i), expected[i]) << i;
    EXPECT_EQ(SearchMode(-1), QString());
    EXPECT_EQ(SearchMode(9), QString());
}

// The texts of the statements: a length condition goes between the key test and the length test on the key, the
// mask is matched as typed, quotes in the input are doubled, and keys count characters, not UTF-16 units.
TEST(SearchQuery, StatementTexts) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const std::pair<QString, QString> cases[] = {
        {LengthClause(3, "4 letters", "7 letters"), "LEN([Word]) BETWEEN 4 AND 7"},
        {LengthClause(49, "50 letters", "50 letters"), "LEN([Word]) BETWEEN 50 AND 50"},
        // "(All words)" in the minimum list means no limit, whatever the maximum shows.
        {LengthClause(0, "(All words)", "7 letters"), ""},
        // A text without a leading number reads as 0; a fraction stays a plain decimal.
        {LengthClause(1, "letters", " 7.50 letters"), "LEN([Word]) BETWEEN 0 AND 7.5"},
        {OrderClause(true), kByLength},
        {OrderClause(false), kByWord},
        {AnagramQuery("Tea", "", kByWord), kSelect + "[Sorted]='tea' AND LEN([Sorted])=3 ORDER BY [Word]"},
        {AnagramQuery("TEA", "LEN([Word]) BETWEEN 3 AND 3", kByWord),
         kSelect + "[Sorted]='tea' AND LEN([Word]) BETWEEN 3 AND 3 AND LEN([Sorted])=3 ORDER BY [Word]"},
        {AnagramQuery("a" + emoji, "", kByWord),
         kSelect + "[Sorted]='" + emoji + "a' AND LEN([Sorted])=2 ORDER BY [Word]"},
        {AnagramQuery("'", "", kByWord), kSelect + "[Sorted]='''' AND LEN([Sorted])=1 ORDER BY [Word]"},
        {SynogramQuery("aab", "", kByWord), kSelect + "[Letters]='ba' ORDER BY [Word]"},
        {SynogramQuery("AB", "", kByWord), kSelect + "[Letters]='ba' ORDER BY [Word]"},
        {LettersQuery("cat", "LEN([Word]) BETWEEN 4 AND 7", kByLength),
         kSelect + "[Letters] LIKE '*t*c*a*' AND LEN([Word]) BETWEEN 4 AND 7 ORDER BY LEN([Word]),[Word]"},
        {LettersQuery("a'", "", kByWord), kSelect + "[Letters] LIKE '*a*''*' ORDER BY [Word]"},
        {LettersQuery("t*a", "", kByWord), LettersQuery("ta", "", kByWord)},
        {LettersPattern(""), "*"},  // an empty key matches every row
        {LettersPattern(emoji + "a"), "*" + emoji + "*a*"},
        {InputSortedKey("a*B"), "ba*"},  // a star stays in the sorted key only
        {InputLettersKey("a*B"), "ba"},
        {MaskQuery("c@@k", "", kByWord), kSelect + "[Word] LIKE 'c??k'  ORDER BY [Word]"},
        {MaskQuery("#a#e", "LEN([Word]) BETWEEN 4 AND 4", kByWord),
         kSelect + "[Word] LIKE '?a?e'  AND LEN([Word]) BETWEEN 4 AND 4 ORDER BY [Word]"},
        {MaskQuery("o'@", "", kByWord), kSelect + "[Word] LIKE 'o''?'  ORDER BY [Word]"},
        {MaskPattern("C@#*@"), "C??*?"},
        {PalindromeQuery("", kByWord), "SELECT [Word] FROM Dictionary ORDER BY [Word]"},
        {PalindromeQuery("LEN([Word]) BETWEEN 4 AND 7", kByLength),
         "SELECT [Word] FROM Dictionary WHERE LEN([Word]) BETWEEN 4 AND 7 ORDER BY LEN([Word]),[Word]"},
        {FindWordQuery("cat", kByWord), "SELECT * FROM [Dictionary] WHERE [Word]='cat' ORDER BY [Word]"},
        {FindWordQuery("don't", kByWord), "SELECT * FROM [Dictionary] WHERE [Word]='don''t' ORDER BY [Word]"},
        {ReverseString("leveL"), "Level"},
        {ReverseString(""), ""},
        {ReverseString("a" + emoji + "b"), "b" + emoji + "a"}};
    for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
}

// The vowels are a e i o u (y is a consonant) and only A to Z count; the word is lower-cased as a whole, the mask's
// own case does not matter. After the first star the placeholders count from the end, every "*" as if it stood
// before them; a word shorter than the placeholders need is refused.
TEST(MaskTestRows, Accepts) {
    const struct {
        const char* mask;
        const char* word;
        bool accepts;
    } cases[] = {{"c@@k", "cook", true},
                 {"c@@k", "cask", false},
                 {"c@@k", "cork", false},
                 {"c@@k", "COOK", true},
                 {"C@@K", "Cook", true},
                 {"#a#e", "cake", true},
                 {"#a#e", "ease", false},
                 {"@pple", "apple", true},
                 {"#", "y", true},
                 {"@", "y", false},
                 {"@", "1", false},
                 {"#", "-", false},
                 {"@", "\xC3\xA9", false},
                 {"#", "\xC3\x89", false},
                 {"#", " ", false},
                 {"?#@",
                  "\xC3\x89"
                  "BA",
                  true},
                 {"c*@", "cafe", true},
                 {"c*@", "cat", false},
                 {"c*@", "ca", true},
                 {"#@*", "base", true},
                 {"#@*", "bsae", false},
                 {"*#*@?", "bxax", true},
                 {"*#*@?", "aabxax", true},
                 {"*#*@?", "xaaex", false},
                 {"*#*@?", "bxxx", false},
                 {"@*@", "", false},
                 {"####@", "ab", false},
                 {"c?*", "anything", true}};
    for (const auto& c : cases)
        EXPECT_EQ(MaskTest(c.mask).accepts(QString::fromUtf8(c.word)), c.accepts) << c.mask << " " << c.word;
    EXPECT_FALSE(MaskTest("c?*").hasPlaceholders());
}

}  // namespace
}  // namespace lexivo
