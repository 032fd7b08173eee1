#include "store/like_matcher.h"

#include <gtest/gtest.h>

#include <random>

namespace lexivo {
namespace {

TEST(LikeMatch, Cases) {
    struct Case {
        const char* pattern;
        const char* text;
        bool matches;
    };
    const Case cases[] = {
        {"c??k", "cook", true},
        {"c??k", "cooks", false},
        {"*", "", true},
        {"**", "", true},
        {"*?", "", false},
        {"*t*c*a*", "tcxa", true},
        {"*t*c*a*", "tac", false},
        {"a*b*c", "aXbYbZ", false},
        {"ab*ba", "aba", false},  // the two ends may not share a character
        {"ab*ba", "abba", true},
        {"*aa*ab*", "xaaab", true},  // the second part starts inside the run of a
        {"*aa*aa*", "aaa", false},   // but never overlaps the first
        // Every other character is literal, including the other engines' wildcards.
        {"100%", "100%", true},
        {"10%", "100", false},
        {"a_c", "abc", false},
        {"[ab]", "a", false},
        {"[ab]", "[AB]", true},
        {"C@@K", "c@@k", true},
        {"\xC3\xA9*",
         "\xC3\x89"
         "clair",
         true},                           // é matches É
        {"?", "\xF0\x9F\x98\x80", true},  // one emoji is one character
        {"??", "\xF0\x9F\x98\x80", false},
        {"?", "\xFF", true},  // an invalid byte counts as one character
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(LikeMatch(c.pattern, c.text), c.matches);
    }
    // Many stars never take exponential time.
    EXPECT_FALSE(LikeMatch(std::string(200, '*') + "b", std::string(5000, 'a')));
}

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

TEST(LikeMatch, AgreesWithThePlainDefinition) {
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

}  // namespace
}  // namespace lexivo
