#include "support/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace lexivo::test {

namespace {

std::u32string points(const QString& text) {
    std::u32string out;
    for (uint c : text.toUcs4()) out.push_back(static_cast<char32_t>(c));
    return out;
}

QString fromPoints(const std::u32string& p) {
    return QString::fromUcs4(p.data(), static_cast<qsizetype>(p.size()));
}

bool isVowel(char32_t c) {
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u';
}

bool maskAccepts(const QString& mask, const QString& word) {
    QString pattern = mask;
    pattern.replace(QLatin1Char('@'), QLatin1Char('?')).replace(QLatin1Char('#'), QLatin1Char('?'));
    if (!ReferenceLike(pattern, word)) return false;
    // A placeholder after the first "*" counts from the end of the word.
    const std::u32string m = points(mask), w = points(ReferenceFold(word));
    const auto star = m.find(U'*');
    const int shift = static_cast<int>(w.size()) - static_cast<int>(m.size());
    for (size_t i = 0; i < m.size(); ++i) {
        if (m[i] != U'@' && m[i] != U'#') continue;
        const int p = static_cast<int>(i) + (star != std::u32string::npos && i >= star ? shift : 0);
        if (p < 0 || p >= static_cast<int>(w.size())) return false;
        const char32_t c = w[static_cast<size_t>(p)];
        if (m[i] == U'@' ? !isVowel(c) : !(c >= U'a' && c <= U'z' && !isVowel(c))) return false;
    }
    return true;
}

}  // namespace

QString ReferenceFold(const QString& text) {
    std::u32string folded;
    for (char32_t c : points(text)) folded.push_back(QChar::toCaseFolded(c));
    return fromPoints(folded);
}

namespace {

// A character's base letters: decomposed all the way, marks and invisible format characters left out, and the
// letters a dictionary writes out (ß, æ, œ) written out.
void appendBase(char32_t c, std::u32string& out) {
    c = QChar::toCaseFolded(c);
    if (c == U'ß' || c == U'æ' || c == U'œ') {
        out += c == U'ß' ? U"ss" : c == U'æ' ? U"ae" : U"oe";
    } else if (const QString parts = QChar::decomposition(c); !parts.isEmpty()) {
        for (char32_t part : points(parts)) appendBase(part, out);
    } else if (const auto kind = QChar::category(c);
               kind != QChar::Mark_NonSpacing && kind != QChar::Mark_Enclosing && kind != QChar::Other_Format) {
        out.push_back(c);
    }
}

}  // namespace

int ReferenceCompare(const QString& a, const QString& b) {
    const std::u32string fa = points(ReferenceFold(a)), fb = points(ReferenceFold(b));
    std::u32string ba, bb;
    for (char32_t c : fa) appendBase(c, ba);
    for (char32_t c : fb) appendBase(c, bb);
    if (ba != bb) return ba < bb ? -1 : 1;
    return fa == fb ? 0 : fa < fb ? -1 : 1;
}

bool ReferenceWordLess(const QString& a, const QString& b) {
    return ReferenceCompare(a, b) < 0;
}

bool ReferenceResultLess(const QString& a, const QString& b, bool sortByLength) {
    if (sortByLength && ReferenceLength(a) != ReferenceLength(b)) return ReferenceLength(a) < ReferenceLength(b);
    return ReferenceWordLess(a, b);
}

QString ReferenceSorted(const QString& word) {
    std::u32string p = points(ReferenceFold(word));
    std::sort(p.begin(), p.end(), [](char32_t x, char32_t y) { return x > y; });
    return fromPoints(p);
}

QString ReferenceLetters(const QString& word) {
    std::u32string out;
    for (char32_t c : points(ReferenceSorted(word)))
        if (c != U'*' && out.find(c) == std::u32string::npos) out.push_back(c);
    return fromPoints(out);
}

int ReferenceLength(const QString& text) {
    return static_cast<int>(text.toUcs4().size());
}

bool ReferenceLike(const QString& pattern, const QString& text) {
    std::u32string p = points(pattern), t = points(text);
    for (auto* s : {&p, &t})
        for (char32_t& c : *s) c = QChar::toCaseFolded(c);
    // matches[i][j]: the first i characters of the pattern match the first j of the text.
    std::vector<std::vector<bool>> matches(p.size() + 1, std::vector<bool>(t.size() + 1, false));
    matches[0][0] = true;
    for (size_t i = 1; i <= p.size(); ++i)
        for (size_t j = 0; j <= t.size(); ++j) {
            if (p[i - 1] == U'*')
                matches[i][j] = matches[i - 1][j] || (j > 0 && matches[i][j - 1]);
            else
                matches[i][j] = j > 0 && matches[i - 1][j - 1] && (p[i - 1] == U'?' || p[i - 1] == t[j - 1]);
        }
    return matches[p.size()][t.size()];
}

QString ReferenceBaseLetters(const QString& text) {
    std::u32string out;
    for (char32_t c : points(text)) appendBase(c, out);
    return fromPoints(out);
}

QString ReferenceFeedback(const QString& guess, const QString& answer) {
    const std::u32string g = points(guess), a = points(answer);
    QString marks(static_cast<qsizetype>(g.size()), QLatin1Char('.'));
    std::map<char32_t, int> left;
    for (size_t i = 0; i < g.size(); ++i) {
        if (g[i] == a[i])
            marks[static_cast<qsizetype>(i)] = QLatin1Char('g');
        else
            ++left[a[i]];
    }
    for (size_t i = 0; i < g.size(); ++i)
        if (g[i] != a[i] && left[g[i]]-- > 0) marks[static_cast<qsizetype>(i)] = QLatin1Char('y');
    return marks;
}

std::pair<double, int> ReferenceInformation(const QString& guess, const QStringList& candidates) {
    std::map<QString, int> groups;
    for (const QString& answer : candidates) ++groups[ReferenceFeedback(guess, answer)];
    double bits = 0;
    int worst = 0;
    for (const auto& [marks, n] : groups) {
        const double p = static_cast<double>(n) / static_cast<double>(candidates.size());
        bits -= p * std::log2(p);
        worst = std::max(worst, n);
    }
    return {bits, worst};
}

QRegularExpression ReferencePattern(const QString& pattern, bool ignoreAccents) {
    const auto form = [&](QString text) {
        text = ReferenceFold(text);
        return QRegularExpression::escape(ignoreAccents ? ReferenceBaseLetters(text) : text);
    };
    const std::u32string p = points(pattern);
    QString re;
    QStringList variables;
    for (size_t i = 0; i < p.size(); ++i) {
        const QString c = fromPoints(std::u32string(1, p[i]));
        if (p[i] == U'?') {
            re += ".";
        } else if (p[i] == U'*') {
            re += ".*";
        } else if (p[i] == U'@' || p[i] == U'#') {
            re += p[i] == U'@' ? "[aeiou]" : "[bcdfghjklmnpqrstvwxyz]";
        } else if (p[i] >= U'1' && p[i] <= U'9') {
            const QString name = "v" + c;
            if (variables.contains(name)) {
                re += "\\k<" + name + ">";
                continue;
            }
            QString apart;
            for (const QString& v : variables) apart += (apart.isEmpty() ? "" : "|") + ("\\k<" + v + ">");
            re += (apart.isEmpty() ? "" : "(?!" + apart + ")") + "(?<" + name + ">\\p{L})";
            variables << name;
        } else if (p[i] == U'[') {
            const size_t end = p.find(U']', i);
            const bool negated = p[i + 1] == U'^' || p[i + 1] == U'!';
            re += negated ? "[^" : "[";
            for (size_t j = i + (negated ? 2 : 1); j < end; ++j) re += form(fromPoints(std::u32string(1, p[j])));
            re += "]";
            i = end;
        } else if (p[i] == U'<') {
            const size_t end = p.find(U'>', i);
            std::u32string block = p.substr(i + 1, end - i - 1);
            std::sort(block.begin(), block.end());
            QStringList orders;
            do {
                QString one;
                for (char32_t b : block) one += b == U'?' ? QString(".") : form(fromPoints(std::u32string(1, b)));
                orders << one;
            } while (std::next_permutation(block.begin(), block.end()));
            re += "(?:" + orders.join('|') + ")";
            i = end;
        } else {
            re += form(p[i] == U'\\' ? fromPoints(std::u32string(1, p[++i])) : c);
        }
    }
    return QRegularExpression("\\A(?:" + re + ")\\z", QRegularExpression::DotMatchesEverythingOption |
                                                          QRegularExpression::UseUnicodePropertiesOption);
}

const char* ModeName(TestMode mode) {
    static const char* const kNames[] = {"Anagram", "Synogram", "Letters", "Mask", "Palindrome", "Add", "Delete"};
    return kNames[static_cast<int>(mode)];
}

QStringList ReferenceSearch(const QStringList& stored, TestMode mode, const QString& input, int minimum, int maximum) {
    const QString lower = ReferenceFold(input);
    QString lettersPattern = QStringLiteral("*");
    for (char32_t c : points(ReferenceLetters(lower))) lettersPattern += fromPoints(std::u32string(1, c)) + "*";
    QStringList found;
    for (const QString& w : stored) {
        const int length = ReferenceLength(w);
        if ((minimum || maximum) && (length < minimum || length > maximum)) continue;
        bool listed = false;
        switch (mode) {
            case TestMode::Anagram:
                listed = ReferenceSorted(w) == ReferenceSorted(lower);
                break;
            case TestMode::Synogram:
                listed = ReferenceLetters(w) == ReferenceLetters(lower);
                break;
            case TestMode::Letters:
                listed = ReferenceLike(lettersPattern, ReferenceLetters(w));
                break;
            case TestMode::Mask:
                listed = maskAccepts(input, w);
                break;
            case TestMode::Palindrome: {
                std::u32string reversed = points(w);
                std::reverse(reversed.begin(), reversed.end());
                listed = std::any_of(stored.begin(), stored.end(),
                                     [&](const QString& v) { return ReferenceEqual(v, fromPoints(reversed)); });
                break;
            }
            default:
                break;
        }
        if (listed) found << w;
    }
    return found;
}

void ExpectSameResults(const QStringList& actual, const QStringList& expected, bool sortByLength) {
    for (qsizetype i = 1; i < actual.size(); ++i)
        EXPECT_FALSE(ReferenceResultLess(actual[i], actual[i - 1], sortByLength))
            << "out of order: " << actual[i - 1].toStdString() << " before " << actual[i].toStdString();
    QStringList a = actual, e = expected;
    a.sort();
    e.sort();
    EXPECT_EQ(a, e);
}

QString RandomCharacter(std::mt19937& random) {
    static const QStringList kCommon = {"a", "e", "t", "s", "k", "o", "c", "y", "A", "E", "T", "S", "K", "O"};
    static const QStringList kHostile = {
        "\u00C9", "\u00E9", "\u00C4", "\u00E4",     "\u00D6", "\u00FC", "\u00DF", "\u1E9E", "\u212A", "\u017F",
        "\uFB01", "\u00C6", "\u00E6", "\u03A3",     "\u03C3", "\u03C2", "\u03A9", "\u03C6", "\u041C", "\u043E",
        "\u0421", "\u043A", "\u0410", "\U0001D538", "1",      "7",      "'",      "\"",     "\u201C", "*",
        "?",      "%",      "Z",      "z",          "_",      "@",      "#"};
    const QStringList& from = random() % 10 < 7 ? kCommon : kHostile;
    return from[static_cast<qsizetype>(random() % from.size())];
}

QString Scramble(std::mt19937& random, const QString& text, bool shuffle) {
    std::u32string p = points(text);
    if (shuffle) std::shuffle(p.begin(), p.end(), random);
    QString out;
    for (char32_t c : p) {
        const QString one = fromPoints(std::u32string(1, c));
        out += random() % 2 ? one.toUpper() : one.toLower();
    }
    return out;
}

QStringList RandomWords(std::mt19937& random, int count, int maximumLength) {
    QStringList words;
    while (words.size() < count) {
        const int kind = static_cast<int>(random() % 9);
        if (kind < 3 && !words.isEmpty()) {
            const QString& earlier = words[static_cast<qsizetype>(random() % words.size())];
            std::u32string p = points(earlier);
            if (kind == 0) std::reverse(p.begin(), p.end());
            words << (kind == 0 ? fromPoints(p) : Scramble(random, earlier, kind == 1));
            continue;
        }
        QString word;
        const int length = 1 + static_cast<int>(random() % static_cast<unsigned>(maximumLength));
        for (int i = 0; i < length; ++i) word += RandomCharacter(random);
        words << word;
    }
    return words;
}

}  // namespace lexivo::test
