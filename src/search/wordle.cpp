#include "search/wordle.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

#include "search/letter_fold.h"

namespace lexivo {

namespace {

enum Mark : char { kGrey = 0, kYellow = 1, kGreen = 2 };

std::optional<Mark> markOf(char32_t c) {
    switch (c) {
        case U'g':
        case U'G':
        case U'2':
            return kGreen;
        case U'y':
        case U'Y':
        case U'1':
            return kYellow;
        case U'.':
        case U'-':
        case U'x':
        case U'X':
        case U'0':
            return kGrey;
        default:
            return std::nullopt;
    }
}

QString text(char32_t c) {
    return QString::fromUcs4(&c, 1);
}

struct Guess {
    std::u32string letters;  // folded
    std::vector<Mark> marks;
};

// What one guess says of one letter: it is there at least (or, with a grey mark beside, exactly) count times.
struct Statement {
    int count = 0;
    bool exact = false;
    int guess = 0;
};

QString describe(const Statement& s) {
    return QStringLiteral("%1 %2 in guess %3")
        .arg(s.exact ? QStringLiteral("exactly") : QStringLiteral("at least"))
        .arg(s.count)
        .arg(s.guess);
}

// Reads one GUESS:MARKS into guess; the error, or empty.
QString readGuess(const QString& token, int number, bool ignoreAccents, Guess& guess) {
    const QString where = QStringLiteral("Guess %1 (%2)").arg(number).arg(token);
    const qsizetype colon = token.indexOf(QLatin1Char(':'));
    if (colon < 0) return where + QStringLiteral(" has no marks: write each guess as GUESS:MARKS, such as crane:..y.g");
    const QList<uint> letters = token.left(colon).toUcs4();
    const QList<uint> marks = token.mid(colon + 1).toUcs4();
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const auto c = static_cast<char32_t>(letters[i]);
        if (c == U'?' || c == U'*')
            return where + QStringLiteral(": \"%1\" at position %2: a guess holds the letters played, no wildcards")
                               .arg(text(c))
                               .arg(i + 1);
        if (!QChar::isLetter(c))
            return where + QStringLiteral(": \"%1\" at position %2 is not a letter").arg(text(c)).arg(i + 1);
    }
    if (letters.isEmpty()) return where + QStringLiteral(" has no letters");
    if (letters.size() != marks.size())
        return where + QStringLiteral(": %1 letters but %2 marks; give one mark for each letter")
                           .arg(letters.size())
                           .arg(marks.size());
    std::u32string folded;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        const std::optional<Mark> mark = markOf(static_cast<char32_t>(marks[i]));
        if (!mark)
            return where + QStringLiteral(
                               ": unknown mark \"%1\" at position %2; the marks are g or 2 (green), y or 1 "
                               "(yellow), and . - x or 0 (grey)")
                               .arg(text(static_cast<char32_t>(marks[i])))
                               .arg(i + 1);
        // A letter that is two base letters (ß with accents ignored) is two letters of the word, with one mark.
        folded.clear();
        AppendFoldedCharacter(static_cast<char32_t>(letters[i]), ignoreAccents, folded);
        for (const char32_t c : folded) {
            guess.letters += c;
            guess.marks.push_back(*mark);
        }
    }
    return {};
}

}  // namespace

bool WordleConstraints::accepts(std::u32string_view word) const {
    if (static_cast<int>(word.size()) != length) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        const char32_t c = word[i];
        if (c < 0x80 ? !(c >= 'a' && c <= 'z') : !QChar::isLetter(c)) return false;
        if (green[i] ? c != green[i] : notAt[i].find(c) != std::u32string::npos) return false;
    }
    for (const Count& count : counts) {
        const auto n = static_cast<int>(std::count(word.begin(), word.end(), count.letter));
        if (count.exact ? n != count.atLeast : n < count.atLeast) return false;
    }
    return true;
}

WordleParse ParseWordle(const QString& input, bool ignoreAccents) {
    WordleParse result;
    const QStringList tokens = input.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (tokens.isEmpty()) {
        result.error = QStringLiteral(
            "Type one or more guesses such as crane:..y.g (one mark for each letter: g green, "
            "y yellow, . grey).");
        return result;
    }
    std::vector<Guess> guesses(static_cast<size_t>(tokens.size()));
    for (qsizetype n = 0; n < tokens.size(); ++n) {
        Guess& guess = guesses[static_cast<size_t>(n)];
        if (QString error = readGuess(tokens[n], static_cast<int>(n) + 1, ignoreAccents, guess); !error.isEmpty()) {
            result.error = error;
            return result;
        }
        if (guess.letters.size() != guesses[0].letters.size()) {
            result.error =
                QStringLiteral("Guess %1 (%2) has %3 letters but guess 1 has %4: all guesses have one length")
                    .arg(n + 1)
                    .arg(tokens[n])
                    .arg(guess.letters.size())
                    .arg(guesses[0].letters.size());
            return result;
        }
    }
    WordleConstraints& c = result.constraints;
    const size_t length = guesses[0].letters.size();
    c.length = static_cast<int>(length);
    c.green.assign(length, 0);
    c.notAt.assign(length, {});
    std::vector<int> greenGuess(length, 0);
    std::map<char32_t, std::pair<std::optional<Statement>, Statement>> known;  // the exact count, the least count
    for (size_t g = 0; g < guesses.size(); ++g) {
        const Guess& guess = guesses[g];
        const int number = static_cast<int>(g) + 1;
        std::map<char32_t, Statement> said;
        for (size_t i = 0; i < length; ++i) {
            const char32_t letter = guess.letters[i];
            Statement& s = said[letter];
            s.guess = number;
            if (guess.marks[i] == kGrey)
                s.exact = true;
            else
                ++s.count;
            if (guess.marks[i] != kGreen) {
                if (c.notAt[i].find(letter) == std::u32string::npos) c.notAt[i] += letter;
                continue;
            }
            if (c.green[i] && c.green[i] != letter) {
                result.error = QStringLiteral("Position %1: green \"%2\" in guess %3 but green \"%4\" in guess %5")
                                   .arg(i + 1)
                                   .arg(text(c.green[i]))
                                   .arg(greenGuess[i])
                                   .arg(text(letter))
                                   .arg(number);
                return result;
            }
            c.green[i] = letter;
            greenGuess[i] = number;
        }
        for (const auto& [letter, s] : said) {
            auto& [exact, least] = known[letter];
            const Statement* clash = nullptr;
            if (exact && (s.exact ? s.count != exact->count : s.count > exact->count))
                clash = &*exact;
            else if (s.exact && least.count > s.count)
                clash = &least;
            if (clash) {
                result.error = QStringLiteral("%1: %2 but %3").arg(text(letter), describe(*clash), describe(s));
                return result;
            }
            if (s.exact) exact = s;
            if (s.count > least.count) least = s;
        }
    }
    for (size_t i = 0; i < length; ++i) {
        if (c.green[i] && c.notAt[i].find(c.green[i]) != std::u32string::npos) {
            result.error = QStringLiteral("Position %1: \"%2\" is green in guess %3 and not green in another guess")
                               .arg(i + 1)
                               .arg(text(c.green[i]))
                               .arg(greenGuess[i]);
            return result;
        }
    }
    int needed = 0;
    for (const auto& [letter, statements] : known) {
        const auto& [exact, least] = statements;
        const auto greens = static_cast<int>(std::count(c.green.begin(), c.green.end(), letter));
        if (exact && greens > exact->count) {
            result.error =
                QStringLiteral("%1: green at %2 positions but %3").arg(text(letter)).arg(greens).arg(describe(*exact));
            return result;
        }
        const int count = exact ? exact->count : least.count;
        needed += std::max(count, greens);
        if (count > 0 || exact) c.counts.push_back({letter, count, exact.has_value()});
    }
    if (needed > c.length)
        result.error = QStringLiteral("The guesses ask for %1 letters in words of %2").arg(needed).arg(c.length);
    return result;
}

quint64 WordleFeedback(std::u32string_view guess, std::u32string_view answer) {
    // The answer's letters that no green takes, each yellow taking one of them from the left.
    char32_t spareLocal[32];
    std::u32string spareHeap;
    char32_t* spare = spareLocal;
    if (answer.size() > 32) {
        spareHeap.resize(answer.size());
        spare = spareHeap.data();
    }
    size_t spares = 0;
    for (size_t i = 0; i < answer.size(); ++i)
        if (guess[i] != answer[i]) spare[spares++] = answer[i];
    quint64 code = 0;
    quint64 weight = 1;
    for (size_t i = 0; i < guess.size(); ++i, weight *= 3) {
        if (guess[i] == answer[i]) {
            code += 2 * weight;
            continue;
        }
        char32_t* end = spare + spares;
        char32_t* at = std::find(spare, end, guess[i]);
        if (at == end) continue;
        *at = 0;  // taken; no letter is 0
        code += weight;
    }
    return code;
}

namespace {
constexpr size_t kCountedFeedbacks = 59049;
}  // namespace

std::vector<size_t> RankByInformation(const std::vector<std::u32string>& candidates,
                                      const std::function<bool(size_t)>& stop) {
    const size_t n = candidates.size();
    struct Score {
        qint64 entropy;  // in units of 1e-9 bit, so that equal entropies compare equal
        size_t worst;
        size_t index;
    };
    std::vector<Score> scores;
    scores.reserve(n);
    // The feedbacks of a guess are counted in a table of every feedback where one is small enough (3^10 = 59,049
    // for words of up to ten characters), else sorted and counted in runs.
    size_t feedbacks = 1;
    const size_t length = n ? candidates.front().size() : 0;
    for (size_t i = 0; i < length && feedbacks <= kCountedFeedbacks; ++i) feedbacks *= 3;
    const bool counted =
        feedbacks <= kCountedFeedbacks && std::all_of(candidates.begin(), candidates.end(),
                                                      [length](const std::u32string& c) { return c.size() == length; });
    std::vector<quint32> counts(counted ? feedbacks : 0, 0);
    std::vector<quint64> codes(n);
    std::vector<size_t> groups;
    for (size_t g = 0; g < n; ++g) {
        if (stop && stop(g)) return {};
        for (size_t a = 0; a < n; ++a) codes[a] = WordleFeedback(candidates[g], candidates[a]);
        groups.clear();
        if (counted) {
            for (size_t a = 0; a < n; ++a)
                if (counts[codes[a]]++ == 0) groups.push_back(codes[a]);  // each feedback seen, once
            for (size_t& group : groups) {
                const size_t code = group;
                group = counts[code];
                counts[code] = 0;
            }
        } else {
            std::sort(codes.begin(), codes.end());
            for (size_t a = 0; a < n;) {
                size_t b = a;
                while (b < n && codes[b] == codes[a]) ++b;
                groups.push_back(b - a);
                a = b;
            }
        }
        // Summed in one order, so that the same groups give the same sum.
        std::sort(groups.begin(), groups.end());
        double sum = 0;
        for (const size_t size : groups) sum += static_cast<double>(size) * std::log2(static_cast<double>(size));
        const double entropy = std::log2(static_cast<double>(n)) - sum / static_cast<double>(n);
        scores.push_back({std::llround(entropy * 1e9), groups.back(), g});
    }
    std::sort(scores.begin(), scores.end(), [](const Score& x, const Score& y) {
        if (x.entropy != y.entropy) return x.entropy > y.entropy;
        if (x.worst != y.worst) return x.worst < y.worst;
        return x.index < y.index;
    });
    std::vector<size_t> order;
    order.reserve(n);
    for (const Score& s : scores) order.push_back(s.index);
    return order;
}

}  // namespace lexivo
