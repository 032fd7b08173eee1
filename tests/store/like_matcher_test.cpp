#include "store/like_matcher.h"

#include <gtest/gtest.h>

#include <random>

namespace lexivo {
namespace {

// The plain definition of the match, by recursion over folded code points: slow, obviously right.
bool Reference(const std::u32string& p, size_t pi, const std::u32string& t, size_t ti) {
    if (pi == p.size()) return ti == t.size();
    if (p[pi] == U'*') {
        for (size_t k = ti; k <= t.size(); ++k)
            if (Reference(p, pi + 1, t, k)) return true;
        return false;
    }
    if (ti == t.size()) return false;
    return (p[pi] == U'?' || p[pi] == t[ti]) && Reference(p, pi + 1, t, ti + 1);
}

std::u32string Folded(const std::string& utf8) {
    std::u32string out;
    for (size_t i = 0; i < utf8.size();) out.push_back(FoldCase(DecodeUtf8(utf8, i)));
    return out;
}

TEST(LikePatternParts, AgreesWithThePlainDefinition) {
    // Few distinct characters, so that parts repeat and overlap and the leftmost placement is put to the test.
    const std::vector<std::string> patternAlphabet{"a", "B", "b", "?", "*", "\xC3\xA9", "\xF0\x9F\x98\x80"};
    const std::vector<std::string> textAlphabet{"a", "A", "b", "\xC3\x89", "\xC3\xA9", "\xF0\x9F\x98\x80", "?", "*"};
    std::mt19937 random(20240611);
    auto make = [&random](const std::vector<std::string>& alphabet, size_t maxLength) {
        std::string s;
        const size_t length = random() % (maxLength + 1);
        for (size_t i = 0; i < length; ++i) s += alphabet[random() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string pattern = make(patternAlphabet, 7);
        const std::string text = make(textAlphabet, 9);
        ASSERT_EQ(LikeMatch(pattern, text), Reference(Folded(pattern), 0, Folded(text), 0))
            << "pattern " << pattern << " text " << text;
    }
}

TEST(LikePatternParts, EndsInnerPartsAndLengths) {
    EXPECT_TRUE(LikeMatch("*?", "a"));
    EXPECT_FALSE(LikeMatch("*?", ""));
    EXPECT_FALSE(LikeMatch("ab*ba", "aba"));  // the two ends may not share a character
    EXPECT_TRUE(LikeMatch("ab*ba", "abba"));
    EXPECT_TRUE(LikeMatch("*t*e*a*", "Treat"));
    EXPECT_FALSE(LikeMatch("*t*e*a*", "ate"));
    EXPECT_TRUE(LikeMatch("*aa*ab*", "xaaab"));  // the second part starts inside the run of a
    EXPECT_FALSE(LikeMatch("*aa*aa*", "aaa"));   // but never overlaps the first
    EXPECT_TRUE(LikeMatch("**", ""));
}

}  // namespace
}  // namespace lexivo
