// The word order against the tests' reference, which is built on Qt's own Unicode tables.

#include "store/collation.h"

#include <gtest/gtest.h>

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <random>
#include <vector>

#include "store/like_matcher.h"
#include "support/reference.h"

namespace lexivo {
namespace {

int referenceCompare(const std::string& a, const std::string& b) {
    return test::ReferenceCompare(QString::fromStdString(a), QString::fromStdString(b));
}

int sign(int x) {
    return (x > 0) - (x < 0);
}

// Letters of every kind that fold or decompose in their own way, digits, the apostrophe and "*".
const QStringList kAlphabet = [] {
    QStringList letters;
    for (char c = 'A'; c <= 'Z'; ++c) letters << QString(QChar(c)) << QString(QChar(c + 32));
    for (const char* s : {"É", "é", "Ä", "ä", "ß", "ẞ", "\u212A", "ſ",      "æ", "Æ", "œ", "Œ", "ﬁ",
                          "Σ", "σ", "ς", "ά", "Ά", "Ω", "\u2126", "\u0301", "0", "7", "'", "*"})
        letters << QString::fromUtf8(s);
    return letters;
}();

std::string randomWord(std::mt19937& random, int maxLength = 6) {
    QString word;
    for (int n = std::uniform_int_distribution<int>(0, maxLength)(random); n > 0; --n)
        word += kAlphabet[std::uniform_int_distribution<qsizetype>(0, kAlphabet.size() - 1)(random)];
    return word.toStdString();
}

TEST(Collation, AgreesWithTheReferenceAndThePatternMatch) {
    std::mt19937 random(12);
    for (int i = 0; i < 20000; ++i) {
        std::string a = randomWord(random);
        // Often a case variant of the other word, so that equal words are common.
        std::string b = i % 3 ? randomWord(random) : QString::fromStdString(a).toUpper().toStdString();
        const int order = CompareWords(a, b);
        ASSERT_EQ(sign(order), referenceCompare(a, b)) << a << " / " << b;
        ASSERT_EQ(sign(CompareWords(b, a)), -sign(order)) << a << " / " << b;
        if (a.find('*') == std::string::npos) {
            ASSERT_EQ(LikeMatch(a, b), order == 0) << a << " / " << b;
        }
    }
}

TEST(Collation, OrdersLikeADictionary) {
    const char* ascending[] = {"Æble", "cafe", "café", "CAFES", "été", "Straße", "strasse2", "yak", "zèbre"};
    for (size_t i = 0; i + 1 < std::size(ascending); ++i)
        EXPECT_LT(CompareWords(ascending[i], ascending[i + 1]), 0) << ascending[i] << " < " << ascending[i + 1];
    const char* equal[][2] = {{"ÉCOLE", "école"}, {"Ärger", "äRGER"}, {"\u212Aelvin", "kelvin"},
                              {"ſoft", "SOFT"},   {"ΣΟΦΌΣ", "σοφός"}, {"ẞ", "ß"}};
    for (const auto& [a, b] : equal) EXPECT_EQ(CompareWords(a, b), 0) << a << " = " << b;
    EXPECT_NE(CompareWords("strasse", "straße"), 0);
}

TEST(Collation, DamagedTextHasAPlaceInOneConsistentOrder) {
    std::mt19937 random(5);
    const char bytes[] = {'\0',   'a',    'A',    'z',    '\x7f', '\x80', '\xbf',
                          '\xc3', '\xa9', '\xe2', '\x84', '\xaa', '\xf0', '\xff'};
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) {
        std::string text(random() % 7, '\0');
        for (char& c : text) c = bytes[random() % std::size(bytes)];
        texts.push_back(text);
    }
    texts.push_back(std::string(255, '\xc3'));
    std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return CompareWords(a, b) < 0; });
    for (size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(CompareWords(texts[i], texts[i]), 0);
        for (size_t j = i + 1; j < texts.size(); ++j) {
            ASSERT_LE(CompareWords(texts[i], texts[j]), 0) << i << ' ' << j;
            ASSERT_EQ(sign(CompareWords(texts[j], texts[i])), -sign(CompareWords(texts[i], texts[j])));
        }
    }
}

TEST(Collation, PrefixBoundsEncloseEveryWordWithThePrefix) {
    std::mt19937 random(7);
    int enclosed = 0;
    for (int i = 0; i < 20000; ++i) {
        const std::string prefix = randomWord(random, 2);
        if (prefix.find('*') != std::string::npos) continue;  // a wildcard, which ends a mask's start
        const std::string word =
            (i % 2 ? QString::fromStdString(prefix).toUpper().toStdString() : prefix) + randomWord(random, 3);
        const auto bounds = PrefixBounds(prefix);
        if (!bounds || !LikeMatch(prefix + "*", word)) continue;
        ++enclosed;
        ASSERT_LE(CompareWords(bounds->first, word), 0) << prefix << " / " << word;
        ASSERT_LT(CompareWords(word, bounds->second), 0) << prefix << " / " << word;
    }
    EXPECT_GT(enclosed, 5000);
}

}  // namespace
}  // namespace lexivo
