#include "search/scan_search.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <memory>

#include "common/run_control.h"
#include "search/letter_fold.h"
#include "search/pattern.h"
#include "search/search_run.h"
#include "search/word_games.h"
#include "search/wordle.h"
#include "store/engine.h"

namespace lexivo {

namespace {

// The distinct characters of a folded text, "*" left out as the Letters key leaves it out; sorted.
std::u32string distinct(std::u32string text) {
    std::sort(text.begin(), text.end());
    text.erase(std::unique(text.begin(), text.end()), text.end());
    std::erase(text, U'*');
    return text;
}

qint64 characterCount(const QString& word) {
    qint64 n = word.size();
    for (const QChar c : word) n -= c.isLowSurrogate() ? 1 : 0;
    return n;
}

// The test of one request, with what the scan needs to know of it.
struct Plan {
    // Whether the word (its folded form beside it) is listed; Pattern::Result::TooMuchWork stops the search. Only
    // a regular expression that reads the word as written (folds false) reads word.
    std::function<Pattern::Result(const QString& word, std::u32string_view folded)> test;
    bool folds = true;    // the test reads the folded form
    int mostLetters = 0;  // no word of more letters is listed; 0: no such bound
    int letters = 0;      // only words of exactly this many letters are listed; 0: any number
    SearchRequest rows;   // the request whose query gives every word the test must see
    std::shared_ptr<const Pattern> pattern;
    WordleConstraints wordle;
    QString error;
};

Pattern::Result yes(bool b) {
    return b ? Pattern::Result::Match : Pattern::Result::NoMatch;
}

Plan planOf(const SearchRequest& request) {
    Plan plan;
    plan.rows = request;
    const bool accents = request.ignoreAccents;
    const SearchMode mode = request.mode.value_or(SearchMode::Anagram);
    if (mode == SearchMode::Wordle) {
        WordleParse parse = ParseWordle(request.input, accents);
        plan.error = parse.error;
        plan.wordle = std::move(parse.constraints);
        const int length = plan.wordle.length;
        // Words of letters alone: as many letters as characters, unless a letter is written as several.
        plan.rows.minimumLength.reset();
        plan.rows.maximumLength.reset();
        if (!accents) {
            plan.letters = length;
            plan.rows.minimumLength = plan.rows.maximumLength = length;
        }
        plan.mostLetters = length;
        plan.rows.sortByLength = false;
        plan.test = [w = plan.wordle](const QString&, std::u32string_view folded) { return yes(w.accepts(folded)); };
        return plan;
    }
    if (mode == SearchMode::Pattern || mode == SearchMode::Mask) {
        PatternParse parse =
            CompilePattern(mode == SearchMode::Mask ? PatternOfMask(request.input) : request.input, accents);
        plan.error = parse.error;
        plan.pattern = parse.pattern;
        if (!plan.pattern) return plan;
        // A folded character is never fewer than the letters it comes from.
        plan.mostLetters = plan.pattern->fixedLength().value_or(0);
        plan.folds = accents || !request.input.startsWith(QLatin1Char('/')) || mode == SearchMode::Mask;
        plan.test = [p = plan.pattern](const QString& word, std::u32string_view folded) {
            return p->match(word, folded);
        };
        return plan;
    }
    const std::u32string input = FoldedText(request.input, accents);
    if (mode == SearchMode::Anagram) {
        std::u32string key = input;
        std::sort(key.begin(), key.end());
        plan.mostLetters = static_cast<int>(key.size());
        plan.test = [key, word = std::u32string()](const QString&, std::u32string_view folded) mutable {
            if (folded.size() != key.size()) return Pattern::Result::NoMatch;
            word.assign(folded);
            std::sort(word.begin(), word.end());
            return yes(word == key);
        };
    } else {
        const bool same = mode == SearchMode::Synogram;
        plan.test = [same, key = distinct(input)](const QString&, std::u32string_view folded) {
            const std::u32string letters = distinct(std::u32string(folded));
            return yes(same ? letters == key : std::includes(letters.begin(), letters.end(), key.begin(), key.end()));
        };
    }
    return plan;
}

[[noreturn]] void tooMuchWork(const QString& word) {
    throw Error(QStringLiteral("The pattern needs too much work on the word \"%1\", so the search stopped there. "
                               "Make it simpler (fewer nested repeats).")
                    .arg(word));
}

// The rows come in the table's order; the words in memory are in the word order with words equal but for letter
// case in code point order. The rows are put in the latter, so that a search lists its words, and a ranking breaks
// its ties, alike whichever of the two serves it.
void orderAsInMemory(std::vector<QString>& words, bool byLength) {
    const auto before = [byLength](const QString& a, const QString& b) {
        if (byLength) {
            const qint64 la = characterCount(a), lb = characterCount(b);
            if (la != lb) return la < lb;
        }
        return WordOrderLess(a, b);
    };
    // Rows added from a sorted list are mostly in order already: a few moves set them right, else they are sorted.
    size_t moves = 0;
    const size_t budget = words.size() + 64;
    for (size_t i = 1; i < words.size() && moves <= budget; ++i)
        for (size_t j = i; j > 0 && moves <= budget && before(words[j], words[j - 1]); --j, ++moves)
            std::swap(words[j], words[j - 1]);
    if (moves > budget) std::sort(words.begin(), words.end(), before);
}

// Lists found (in the order to list) into sink; for Wordle's ranking, reorders them first.
qint64 listFound(std::vector<QString> found, const SearchRequest& request, RunControl& run, WordSink& sink) {
    if (request.mode == SearchMode::Wordle && request.rankByInformation && !run.stopFlag()) {
        std::vector<std::u32string> candidates;
        candidates.reserve(found.size());
        for (const QString& word : found) candidates.push_back(FoldedText(word, request.ignoreAccents));
        const std::vector<size_t> order = RankByInformation(candidates, [&](size_t done) {
            run.step(static_cast<qint64>(done), found[done]);
            return run.stopFlag();
        });
        std::vector<QString> ranked;
        ranked.reserve(order.size());
        for (const size_t i : order) ranked.push_back(std::move(found[i]));
        found = std::move(ranked);
    }
    run.setProgressMaximum(static_cast<qint64>(found.size()));
    qint64 listed = 0;
    for (const QString& word : found) {
        if (run.stopFlag()) break;
        sink.add(word);
        ++listed;
        if (run.step(listed, word)) sink.flush();
    }
    run.flush(listed, listed ? found[static_cast<size_t>(listed - 1)] : QString());
    return listed;
}

}  // namespace

bool IsScanSearch(const SearchRequest& request) {
    if (!request.mode) return false;
    switch (*request.mode) {
        case SearchMode::Wordle:
        case SearchMode::Pattern:
            return true;
        case SearchMode::Anagram:
        case SearchMode::Synogram:
        case SearchMode::Letters:
        case SearchMode::Mask:
            return request.ignoreAccents;
        default:
            return false;
    }
}

QString InputProblem(const SearchRequest& request) {
    if (request.mode != SearchMode::Wordle && request.mode != SearchMode::Pattern) return {};
    return planOf(request).error;
}

qint64 ScanWords(const WordSnapshot& words, const SearchRequest& request, RunControl& run, WordSink& sink) {
    Plan plan = planOf(request);
    if (!plan.error.isEmpty()) throw Error(plan.error);
    // The words are kept by their number of letters: only the counts that can match are read.
    qsizetype first = 0;
    qsizetype end = words.size();
    if (plan.letters) {
        std::tie(first, end) = words.withLetterCount(plan.letters);
    } else if (plan.mostLetters && plan.mostLetters < words.longestWord()) {
        end = words.withLetterCount(plan.mostLetters).second;
    }
    run.setProgressMaximum(end - first);
    struct Found {
        qint64 length;
        quint32 order;
        qsizetype index;
    };
    std::vector<Found> found;
    std::u32string folded;
    // Wordle's words have the guesses' length: the length lists play no part.
    const bool wordle = request.mode == SearchMode::Wordle;
    const int minimum = wordle ? 0 : request.minimumLength.value_or(0);
    const qint64 maximum =
        wordle || !request.maximumLength ? std::numeric_limits<qint64>::max() : *request.maximumLength;
    // The words are tested as they are kept, in UTF-8: a word is made only for a match and for the progress shown.
    // Only a regular expression reads the word as written, and that reads UTF-8 itself; every other test reads
    // the folded form.
    const bool readsBytes = !plan.folds && plan.pattern;
    for (qsizetype i = first; i < end; ++i) {
        if (request.maxLevel && !words.withinLevel(i, *request.maxLevel)) continue;
        if (minimum > 0 || maximum < std::numeric_limits<qint64>::max()) {
            const qint64 n = words.characterCount(i);
            if (n < minimum || n > maximum) continue;
        }
        Pattern::Result result;
        if (readsBytes) {
            result = plan.pattern->matchUtf8(words.bytes(i)).value_or(Pattern::Result::NoMatch);
        } else {
            FoldUtf8(words.bytes(i), request.ignoreAccents, folded);
            result = plan.test(QString(), folded);
        }
        if (result == Pattern::Result::TooMuchWork) tooMuchWork(words.word(i));
        if (result == Pattern::Result::Match)
            found.push_back({request.sortByLength ? words.characterCount(i) : 0, words.wordOrder(i), i});
        run.stepLazily(i - first, [&] { return words.word(i); });
        if (run.stopFlag()) break;
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return a.length != b.length ? a.length < b.length : a.order < b.order;
    });
    std::vector<QString> listed;
    listed.reserve(found.size());
    for (const Found& f : found) listed.push_back(words.word(f.index));
    return listFound(std::move(listed), request, run, sink);
}

qint64 RunScanSearch(Connection& db, const SearchRequest& request, RunControl& run, WordSink& sink) {
    Plan plan = planOf(request);
    if (!plan.error.isEmpty()) throw Error(plan.error);
    // The rows of the lengths the test can match, tested as they come in the table's order; what is found is
    // sorted afterwards.
    std::vector<QString> found;
    CallbackSink collect([&found](const QString& word) { found.push_back(word); });
    std::u32string folded;
    ListQueryResults(db, ScanQueryText(plan.rows), run, collect, [&](const QString& word) {
        if (plan.folds) FoldText(word, request.ignoreAccents, folded);
        const Pattern::Result result = plan.test(word, folded);
        if (result == Pattern::Result::TooMuchWork) tooMuchWork(word);
        return result == Pattern::Result::Match;
    });
    orderAsInMemory(found, request.sortByLength);  // as ScanWords orders them
    return listFound(std::move(found), request, run, sink);
}

}  // namespace lexivo
