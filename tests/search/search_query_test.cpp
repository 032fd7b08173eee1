#include "search/search_query.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace lexivo {
namespace {

TEST(SearchQuery, ModesFollowTheButtonIndexes) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(static_cast<int>(SearchModeOfButton(i).value()), i);
    EXPECT_FALSE(SearchModeOfButton(-1));
    EXPECT_FALSE(SearchModeOfButton(9));
}

// Keys and patterns count characters, not UTF-16 units; a star stays in the sorted key only.
TEST(SearchQuery, KeysAndPatterns) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const std::pair<QString, QString> cases[] = {
        {LettersPattern(""), "*"},  // an empty key matches every row
        {LettersPattern(emoji + "a"), "*" + emoji + "*a*"},
        {InputSortedKey("a*B"), "ba*"},
        {InputLettersKey("a*B"), "ba"},
        {MaskPattern("C@#*@"), "C??*?"},
    };
    for (const auto& [actual, expected] : cases) EXPECT_EQ(actual, expected);
}

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
