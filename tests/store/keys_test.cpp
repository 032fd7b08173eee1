#include "store/keys.h"

#include <gtest/gtest.h>

namespace lexivo {
namespace {

// Both keys order characters by falling code point; capital and small forms, space, apostrophe and hyphen are
// characters like any other, and the Letters key drops every "*".
TEST(Keys, SortedAndLettersKeys) {
    struct Row {
        const char* word;
        const char* sorted;
        const char* letters;
    };
    const Row rows[] = {
        {"letter", "ttrlee", "trle"},
        {"mississippi", "ssssppmiiii", "spmi"},
        {"Apple", "ppleA", "pleA"},
        {"Aa", "aA", "aA"},
        {"ice-cream", "rmieecca-", "rmieca-"},
        {"a b-1'", "ba1-' ", "ba1-' "},
        {"a*b", "ba*", "ba"},
        {"**", "**", ""},
        {"", "", ""},
        {"café", "éfca", "éfca"},  // accented letters come after z
        {"a😀b😀", "😀😀ba", "😀ba"},   // a character beyond the basic plane is never split into halves
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.word);
        const QString word = QString::fromUtf8(row.word);
        EXPECT_EQ(SortString(word), QString::fromUtf8(row.sorted));
        EXPECT_EQ(UniqueChars(SortString(word)), QString::fromUtf8(row.letters));
        EXPECT_EQ(KeysOf(word).sorted, QString::fromUtf8(row.sorted));
        EXPECT_EQ(KeysOf(word).letters, QString::fromUtf8(row.letters));
    }
    EXPECT_EQ(KeysOf(QString(255, 'q')).sorted.size(), 255);
    EXPECT_EQ(CharacterCount(QString::fromUtf8("a😀b😀")), 4);
    EXPECT_EQ(CharacterCount(QString::fromUtf8("e\u0301")), 2);  // a combining mark is a character of its own
}

}  // namespace
}  // namespace lexivo
