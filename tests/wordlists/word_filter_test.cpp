#include "wordlists/word_filter.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/leading_number.h"

namespace lexivo {
namespace {

WordFilter Make(bool minimumOn, double minimum, bool maximumOn, double maximum, const QString& remove = {},
                const QString& ignore = {}) {
    WordFilter filter;
    filter.minimumOn = minimumOn;
    filter.minimum = minimum;
    filter.maximumOn = maximumOn;
    filter.maximum = maximum;
    filter.removeOn = !remove.isEmpty();
    filter.remove = remove;
    filter.ignoreOn = !ignore.isEmpty();
    filter.ignore = ignore;
    return filter;
}
WordFilter Removing(const QString& characters) {
    return Make(false, 0, false, 0, characters);
}
WordFilter Ignoring(const QString& characters) {
    return Make(false, 0, false, 0, {}, characters);
}

// The lengths are taken before anything is removed and count code points; a limit compares as the number it is
// (a box without a number counts as zero) and does nothing unless ticked. Each listed character removes one
// occurrence, in typed order, each step seeing the word the previous one left; a word emptied so is still
// included (the import counts it as blank). The ignore test sees the word before removal, which still happens.
TEST(WordFilter, Cases) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");       // one code point, two UTF-16 units
    const QString otherEmoji = QString::fromUtf8("\xF0\x9F\x98\x81");  // shares the high surrogate
    const QString decomposed = QString::fromUtf8("cafe\xCC\x81");      // e and a combining acute accent
    const struct {
        WordFilter filter;
        QString word;
        bool include;
        QString result;
    } cases[] = {{Make(true, 3, false, 0), "at", false, "at"},
                 {Make(true, 3, false, 0), "ate", true, "ate"},
                 {Make(false, 0, true, 5), "apple", true, "apple"},
                 {Make(false, 0, true, 5), "apples", false, "apples"},
                 {Make(true, 2.5, false, 0), "ab", false, "ab"},
                 {Make(true, 2.5, false, 0), "abc", true, "abc"},
                 {Make(false, 0, true, 2.5), "abc", false, "abc"},
                 {Make(false, 10, false, 1), "word", true, "word"},
                 {Make(true, LeadingNumber("three"), false, 0), "", true, ""},
                 {Make(false, 0, true, LeadingNumber("five")), "", true, ""},
                 {Make(false, 0, true, LeadingNumber("five")), "a", false, "a"},
                 {Make(false, 0, true, 5, "-"), "ice-cr", false, "icecr"},
                 {Make(true, 5, false, 0, "-"), "a-b-c", true, "ab-c"},
                 {Removing("-"), "ice-cream", true, "icecream"},
                 {Removing("--"), "a-b-c", true, "abc"},
                 {Removing("-"), "-", true, ""},
                 {Removing("'-"), "don't-stop", true, "dontstop"},
                 {Removing("A"), "banana", true, "banana"},
                 {Removing("ab"), "bab", true, "b"},
                 {Removing("ba"), "bab", true, "b"},
                 {Ignoring("'"), "don't", false, "don't"},
                 {Ignoring("Q"), "quiz", true, "quiz"},
                 {Ignoring("Q"), "Quiz", false, "Quiz"},
                 {Ignoring("xyz-"), "ice-cream", false, "ice-cream"},
                 {Make(false, 0, false, 0, "-", "-"), "ice-cream", false, "icecream"},
                 {Make(false, 0, true, 3), "ab" + emoji, true, "ab" + emoji},
                 {Make(true, 4, false, 0), "ab" + emoji, false, "ab" + emoji},
                 {Make(false, 0, true, 4), decomposed, false, decomposed},
                 {Removing(QString::fromUtf8("\xCC\x81")), decomposed, true, "cafe"},
                 {Removing("e"), decomposed, true, QString::fromUtf8("caf\xCC\x81")},
                 {Removing(emoji), "a" + emoji + "b" + emoji, true, "ab" + emoji},
                 {Ignoring("xy" + emoji), "a" + emoji, false, "a" + emoji},
                 {Ignoring(otherEmoji), "a" + emoji, true, "a" + emoji},
                 {Removing(otherEmoji), "a" + emoji, true, "a" + emoji}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word.toStdString());
        QString word = c.word;
        EXPECT_EQ(c.filter.apply(word), c.include);
        EXPECT_EQ(word, c.result);
    }
}

TEST(WordFilter, ApplyCharactersSkipsTheLengthLimits) {
    QString word = "a-b";
    EXPECT_TRUE(Make(true, 10, true, 1, "-").applyCharacters(word));
    EXPECT_EQ(word, "ab");
    word = "a-b";
    EXPECT_FALSE(Make(true, 10, true, 1, "-", "b").applyCharacters(word));
    EXPECT_EQ(word, "ab");
}

}  // namespace
}  // namespace lexivo
