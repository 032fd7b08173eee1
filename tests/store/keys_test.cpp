#include "store/keys.h"

#include <gtest/gtest.h>

namespace lexivo {
namespace {

struct KeyRow {
    const char* word;
    const char* sorted;
    const char* letters;
};

TEST(Keys, WorkedExamples) {
    const KeyRow rows[] = {
        {"letter", "ttrlee", "trle"},
        {"banana", "nnbaaa", "nba"},
        {"mississippi", "ssssppmiiii", "spmi"},
        {"zebra", "zreba", "zreba"},
        {"Apple", "ppleA", "pleA"},
        {"Ball", "llaB", "laB"},
        {"don't", "tond'", "tond'"},
        {"ice-cream", "rmieecca-", "rmieca-"},
        {"a*b", "ba*", "ba"},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        const QString word = QString::fromUtf8(row.word);
        EXPECT_EQ(SortString(word), QString::fromUtf8(row.sorted)) << row.word;
        EXPECT_EQ(UniqueChars(SortString(word)), QString::fromUtf8(row.letters)) << row.word;
        EXPECT_EQ(KeysOf(word).letters, QString::fromUtf8(row.letters)) << row.word;
    }
}

TEST(Keys, CaseRepeatsAndStars) {
    EXPECT_EQ(SortString("Aa"), "aA");
    EXPECT_EQ(UniqueChars("aA"), "aA");  // capital and small forms are different characters
    EXPECT_EQ(KeysOf("aaa").sorted, "aaa");
    EXPECT_EQ(KeysOf("aaa").letters, "a");
    EXPECT_EQ(KeysOf("x").sorted, "x");
    EXPECT_EQ(KeysOf("x").letters, "x");
    EXPECT_EQ(UniqueChars("**"), "");
    EXPECT_EQ(SortString("a b-1'"), "ba1-' ");  // space, apostrophe and hyphen are ordinary characters
}

TEST(Keys, CodePointsBeyondLatin) {
    // Accented letters have higher codes than z and come first.
    EXPECT_EQ(SortString(QString::fromUtf8("café")), QString::fromUtf8("éfca"));
    // A character outside the basic plane is one character, never split into halves.
    const QString emoji = QString::fromUtf8("a😀b😀");
    EXPECT_EQ(SortString(emoji), QString::fromUtf8("😀😀ba"));
    EXPECT_EQ(UniqueChars(SortString(emoji)), QString::fromUtf8("😀ba"));
    EXPECT_EQ(CharacterCount(emoji), 4);
    // Combining marks are characters of their own.
    EXPECT_EQ(CharacterCount(QString::fromUtf8("e\u0301")), 2);
}

TEST(Keys, LongWords) {
    const QString word = QString(255, QLatin1Char('q'));
    EXPECT_EQ(SortString(word).size(), 255);
    EXPECT_EQ(UniqueChars(SortString(word)), "q");
}

}  // namespace
}  // namespace lexivo
