#include "wordlists/word_filter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lexivo {
namespace {

struct Filtered {
    bool include;
    QString word;
};

Filtered Filter(const WordFilter& filter, QString word) {
    const bool include = filter.apply(word);
    return {include, word};
}

WordFilter Removing(const QString& characters) {
    WordFilter filter;
    filter.removeOn = true;
    filter.remove = characters;
    return filter;
}

WordFilter Ignoring(const QString& characters) {
    WordFilter filter;
    filter.ignoreOn = true;
    filter.ignore = characters;
    return filter;
}

WordFilter Lengths(bool minimumOn, double minimum, bool maximumOn, double maximum) {
    WordFilter filter;
    filter.minimumOn = minimumOn;
    filter.minimum = minimum;
    filter.maximumOn = maximumOn;
    filter.maximum = maximum;
    return filter;
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(LeadingNumber("3"), 3);
    EXPECT_EQ(LeadingNumber("3 letters"), 3);
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  \t7"), 7);
    EXPECT_EQ(LeadingNumber("2.5"), 2.5);
    EXPECT_EQ(LeadingNumber(".5"), 0.5);
    EXPECT_EQ(LeadingNumber("5."), 5);
    EXPECT_EQ(LeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(LeadingNumber("-4"), -4);
    EXPECT_EQ(LeadingNumber("-.25x"), -0.25);
    EXPECT_EQ(LeadingNumber("+4"), 4);
}

TEST(LeadingNumber, IsZeroWithoutADigit) {
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber("-"), 0);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("+-3"), 0);
    EXPECT_EQ(LeadingNumber("\u0663"), 0);  // Arabic-Indic three is not read as a number
}

TEST(LeadingNumber, AHugeNumberIsInfinite) {
    EXPECT_TRUE(std::isinf(LeadingNumber(QString(400, u'9'))));
}

TEST(WordFilter, LengthLimitsKeepWordsOfExactlyTheLimit) {
    const WordFilter minimum3 = Lengths(true, 3, false, 0);
    EXPECT_FALSE(Filter(minimum3, "at").include);
    EXPECT_TRUE(Filter(minimum3, "ate").include);

    const WordFilter maximum5 = Lengths(false, 0, true, 5);
    EXPECT_TRUE(Filter(maximum5, "apple").include);
    EXPECT_FALSE(Filter(maximum5, "apples").include);

    // A fractional limit compares as the number it is.
    EXPECT_FALSE(Filter(Lengths(true, 2.5, false, 0), "ab").include);
    EXPECT_TRUE(Filter(Lengths(true, 2.5, false, 0), "abc").include);
    EXPECT_FALSE(Filter(Lengths(false, 0, true, 2.5), "abc").include);

    // A limit that is not ticked does nothing.
    EXPECT_TRUE(Filter(Lengths(false, 10, false, 1), "word").include);
}

TEST(WordFilter, BoxesWithoutANumberCountAsZero) {
    const WordFilter minimum = Lengths(true, LeadingNumber("three"), false, 0);
    EXPECT_TRUE(Filter(minimum, "").include);
    EXPECT_TRUE(Filter(minimum, "a").include);

    const WordFilter maximum = Lengths(false, 0, true, LeadingNumber("five"));
    EXPECT_TRUE(Filter(maximum, "").include);
    EXPECT_FALSE(Filter(maximum, "a").include);
}

TEST(WordFilter, LengthIsTakenBeforeRemoval) {
    WordFilter filter = Lengths(false, 0, true, 5);
    filter.removeOn = true;
    filter.remove = "-";
    const Filtered longWord = Filter(filter, "ice-cr");
    EXPECT_FALSE(longWord.include);
    EXPECT_EQ(longWord.word, "icecr");  // still removed: the import looks the word up either way

    filter = Lengths(true, 5, false, 0);
    filter.removeOn = true;
    filter.remove = "-";
    const Filtered shortened = Filter(filter, "a-b-c");
    EXPECT_TRUE(shortened.include);
    EXPECT_EQ(shortened.word, "ab-c");
}

TEST(WordFilter, EachListedCharacterRemovesOneOccurrenceInTypedOrder) {
    EXPECT_EQ(Filter(Removing("-"), "ice-cream").word, "icecream");
    EXPECT_EQ(Filter(Removing("-"), "a-b-c").word, "ab-c");
    EXPECT_EQ(Filter(Removing("--"), "a-b-c").word, "abc");
    EXPECT_EQ(Filter(Removing("-"), "-").word, "");
    EXPECT_EQ(Filter(Removing("'-"), "don't-stop").word, "dontstop");
    EXPECT_EQ(Filter(Removing("A"), "banana").word, "banana");  // case counts
    // "ab" then "b": each step sees the word the previous one left.
    EXPECT_EQ(Filter(Removing("ab"), "bab").word, "b");
    EXPECT_EQ(Filter(Removing("ba"), "bab").word, "b");
    EXPECT_TRUE(Filter(Removing("-"), "-").include);  // emptying a word does not exclude it; the import counts it
}

TEST(WordFilter, IgnoreExcludesWordsWithAnyListedCharacter) {
    EXPECT_FALSE(Filter(Ignoring("'"), "don't").include);
    EXPECT_TRUE(Filter(Ignoring("Q"), "quiz").include);
    EXPECT_FALSE(Filter(Ignoring("Q"), "Quiz").include);
    EXPECT_FALSE(Filter(Ignoring("xyz-"), "ice-cream").include);

    // The ignore test sees the word before removal; the removal still happens.
    WordFilter both = Ignoring("-");
    both.removeOn = true;
    both.remove = "-";
    const Filtered result = Filter(both, "ice-cream");
    EXPECT_FALSE(result.include);
    EXPECT_EQ(result.word, "icecream");
}

TEST(WordFilter, CharactersAreCodePoints) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // one code point, two UTF-16 units
    const WordFilter maximum3 = Lengths(false, 0, true, 3);
    EXPECT_TRUE(Filter(maximum3, "ab" + emoji).include);
    EXPECT_FALSE(Filter(Lengths(true, 4, false, 0), "ab" + emoji).include);

    // e followed by a combining acute accent is two characters.
    const QString decomposed = QString::fromUtf8("cafe\xCC\x81");
    EXPECT_FALSE(Filter(Lengths(false, 0, true, 4), decomposed).include);
    EXPECT_EQ(Filter(Removing(QString::fromUtf8("\xCC\x81")), decomposed).word, "cafe");
    EXPECT_EQ(Filter(Removing("e"), decomposed).word, QString::fromUtf8("caf\xCC\x81"));

    EXPECT_EQ(Filter(Removing(emoji), "a" + emoji + "b" + emoji).word, "ab" + emoji);
    EXPECT_FALSE(Filter(Ignoring("xy" + emoji), "a" + emoji).include);
    // Another emoji sharing the high surrogate is a different character.
    const QString otherEmoji = QString::fromUtf8("\xF0\x9F\x98\x81");
    EXPECT_TRUE(Filter(Ignoring(otherEmoji), "a" + emoji).include);
    EXPECT_EQ(Filter(Removing(otherEmoji), "a" + emoji).word, "a" + emoji);
}

TEST(WordFilter, ApplyCharactersSkipsTheLengthLimits) {
    WordFilter filter = Lengths(true, 10, true, 1);
    filter.removeOn = true;
    filter.remove = "-";
    QString word = "a-b";
    EXPECT_TRUE(filter.applyCharacters(word));
    EXPECT_EQ(word, "ab");
    filter.ignoreOn = true;
    filter.ignore = "b";
    word = "a-b";
    EXPECT_FALSE(filter.applyCharacters(word));
    EXPECT_EQ(word, "ab");
}

}  // namespace
}  // namespace lexivo
