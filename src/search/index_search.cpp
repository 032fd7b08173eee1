#include "search/index_search.h"

#include <algorithm>
#include <string>

#include "common/run_control.h"
#include "search/search_run.h"
#include "search/word_index.h"
#include "search/word_lookup.h"
#include "store/collation.h"
#include "store/engine.h"
#include "store/like_matcher.h"

namespace lexivo {

namespace {

// One bit per position of the word order.
class OrderBits {
public:
    explicit OrderBits(qsizetype n) : bits_(static_cast<size_t>(n + 63) / 64, 0) {}
    void set(quint32 at) { bits_[at >> 6] |= quint64{1} << (at & 63); }
    bool test(quint32 at) const { return bits_[at >> 6] & (quint64{1} << (at & 63)); }
    // The positions set, in order.
    std::vector<quint32> positions() const {
        std::vector<quint32> out;
        for (size_t w = 0; w < bits_.size(); ++w)
            for (quint64 b = bits_[w]; b; b &= b - 1)
                out.push_back(static_cast<quint32>(w * 64 + static_cast<size_t>(__builtin_ctzll(b))));
        return out;
    }

private:
    std::vector<quint64> bits_;
};

// The rows a query's WHERE gives beside the mode's own condition: the length limits and the level limit.
struct Limits {
    explicit Limits(const SearchRequest& request) : maxLevel(request.maxLevel) {
        lengths = request.minimumLength || request.maximumLength;
        minimum = request.minimumLength.value_or(0);
        maximum = request.maximumLength.value_or(std::max(minimum, kMaxFieldLength));
    }
    bool admit(const WordSnapshot& words, qsizetype index) const {
        if (lengths) {
            const int n = words.characterCount(index);
            if (n < minimum || n > maximum) return false;
        }
        return !maxLevel || words.withinLevel(index, *maxLevel);
    }
    bool lengths = false;
    int minimum = 0;
    int maximum = 0;
    std::optional<int> maxLevel;
};

// The rows of a query and which of them its row test keeps, by position in the word order.
struct Rows {
    explicit Rows(qsizetype n) : rows(n), kept(n) {}
    OrderBits rows;
    OrderBits kept;
    bool tested = false;  // without a row test every row is kept
};

// The positions of the rows in the order of the listing: the word order, or by length and then the word order.
std::vector<quint32> listOrder(const WordSnapshot& words, const OrderBits& rows, bool byLength) {
    std::vector<quint32> order = rows.positions();
    if (!byLength || order.empty()) return order;
    std::vector<size_t> start(static_cast<size_t>(std::max(kMaxFieldLength, 1)) * 128 + 2, 0);
    std::vector<int> lengths(order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        lengths[k] = words.characterCount(words.atOrder(order[k]));
        if (static_cast<size_t>(lengths[k]) + 2 > start.size()) start.resize(static_cast<size_t>(lengths[k]) + 2, 0);
        ++start[static_cast<size_t>(lengths[k]) + 1];
    }
    for (size_t n = 1; n < start.size(); ++n) start[n] += start[n - 1];
    std::vector<quint32> byLengthOrder(order.size());
    for (size_t k = 0; k < order.size(); ++k) byLengthOrder[start[static_cast<size_t>(lengths[k])]++] = order[k];
    return byLengthOrder;
}

// Lists the rows as ListQueryResults lists a query's: the count of the rows as the progress maximum, each row a
// step with its word, the kept ones into sink, the stop flag after every row; nothing at all without rows.
qint64 listRows(const WordSnapshot& words, const Rows& found, bool byLength, RunControl& run, WordSink& sink) {
    const std::vector<quint32> order = listOrder(words, found.rows, byLength);
    qint64 listed = 0;
    if (!order.empty()) {
        run.setProgressMaximum(static_cast<qint64>(order.size()));
        qint64 counter = 0;
        quint32 current = 0;
        // The words listed are fetched a few rows ahead: in the word order they lie in as many places as there are
        // counts of letters.
        constexpr size_t kAhead = 16;
        for (size_t k = 0; k < order.size(); ++k) {
            if (k + kAhead < order.size()) words.prefetch(words.atOrder(order[k + kAhead]), false);
            if (k + kAhead / 2 < order.size()) words.prefetch(words.atOrder(order[k + kAhead / 2]), true);
            ++counter;
            current = order[k];
            if (!found.tested || found.kept.test(current)) {
                sink.add(words.word(words.atOrder(current)));
                ++listed;
            }
            // The stop flag changes only while the window handles input, which the step does.
            if (run.stepLazily(counter, [&] { return words.word(words.atOrder(current)); })) {
                sink.flush();
                if (run.stopFlag()) break;
            }
        }
        run.flush(counter, words.word(words.atOrder(current)));
    }
    sink.flush();
    return listed;
}

std::u32string codePoints(const QString& text) {
    std::u32string out;
    for (const uint c : text.toUcs4()) out.push_back(static_cast<char32_t>(c));
    return out;
}

// Anagram and synogram: the words of the input's key, found by the key's look-up.
Rows byKey(const WordSnapshot& words, const SearchRequest& request, const Limits& limits) {
    Rows found(words.size());
    const WordLookup& lookup = words.lookup();
    const std::vector<qsizetype> matches = request.mode == SearchMode::Anagram
                                               ? lookup.withSortedKey(codePoints(InputSortedKey(request.input)))
                                               : lookup.withLettersKey(codePoints(InputLettersKey(request.input)));
    for (const qsizetype index : matches)
        if (limits.admit(words, index)) found.rows.set(words.wordOrder(index));
    return found;
}

// Letters in a word: the words whose Letters key (their distinct folded characters but "*", falling) matches the
// pattern of the input's key. The letters a to z of the key are looked for in each word's letter mask first; where
// they are all the key holds, that answers for an ASCII word.
Rows byLetters(const WordSnapshot& words, const SearchRequest& request, const Limits& limits) {
    Rows found(words.size());
    const QString key = InputLettersKey(request.input);
    const LikePattern pattern(LettersPattern(key).toUtf8().toStdString());
    quint64 required = 0;
    bool maskAnswers = true;
    for (const char32_t c : codePoints(key)) {
        if (c >= U'a' && c <= U'z' && words.letterId(c) >= 0) {
            required |= LetterBit(static_cast<quint32>(words.letterId(c)));
        } else {
            maskAnswers = false;
            if (c >= U'a' && c <= U'z') return found;  // a letter that no word holds
        }
    }
    std::u32string folded;
    std::string lettersKey;
    for (qsizetype i = 0; i < words.size(); ++i) {
        if ((words.letterMask(i) & required) != required) continue;
        if (!(maskAnswers && words.isAscii(i))) {
            FoldedCodePoints(words.bytes(i), folded);
            std::sort(folded.begin(), folded.end(), std::greater<>());
            folded.erase(std::unique(folded.begin(), folded.end()), folded.end());
            lettersKey.clear();
            for (const char32_t c : folded)
                if (c != U'*') AppendUtf8(lettersKey, c);
            if (!pattern.matches(lettersKey)) continue;
        }
        if (limits.admit(words, i)) found.rows.set(words.wordOrder(i));
    }
    return found;
}

// The mask: the words its pattern matches (within the range of the word order that its literal start gives, as
// the database narrows it), kept where the vowels and consonants it asks for are in place.
Rows byMask(const WordSnapshot& words, const SearchRequest& request, const Limits& limits) {
    Rows found(words.size());
    const LikePattern pattern(MaskPattern(request.input).toUtf8().toStdString());
    const MaskTest test(request.input);
    found.tested = test.hasPlaceholders();
    QString start;
    for (const QChar c : request.input) {
        if (c == u'?' || c == u'*' || c == u'@' || c == u'#') break;
        start += c;
    }
    const auto bounds = start.isEmpty() ? std::nullopt : PrefixBounds(start.toStdString());
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QByteArrayView bytes = words.bytes(i);
        const std::string_view text(bytes.data(), static_cast<size_t>(bytes.size()));
        if (!pattern.matches(text, words.isAscii(i)) || !limits.admit(words, i)) continue;
        if (bounds && (CompareWords(text, bounds->first) < 0 || CompareWords(text, bounds->second) >= 0)) continue;
        const quint32 at = words.wordOrder(i);
        found.rows.set(at);
        if (found.tested && test.acceptsUtf8(bytes, words.isAscii(i))) found.kept.set(at);
    }
    return found;
}

// Palindromes: every word of the limits is a row, kept where its reversal is a word.
Rows byReversal(const WordSnapshot& words, const Limits& limits) {
    Rows found(words.size());
    found.tested = true;
    // The words in memory of the window know it of every word already.
    if (const WordLookup& lookup = words.lookup(); lookup.reversalsMade()) {
        for (qsizetype i = 0; i < words.size(); ++i) {
            if (!limits.admit(words, i)) continue;
            found.rows.set(words.wordOrder(i));
            if (lookup.reversalStored(i)) found.kept.set(words.wordOrder(i));
        }
        return found;
    }
    std::vector<qsizetype> rows;
    rows.reserve(static_cast<size_t>(words.size()));
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!limits.admit(words, i)) continue;
        found.rows.set(words.wordOrder(i));
        rows.push_back(i);
    }
    for (const qsizetype index : words.lookup().withReversalStored(rows)) found.kept.set(words.wordOrder(index));
    return found;
}

}  // namespace

bool IndexListsRequest(const WordSnapshot& words, const SearchRequest& request) {
    if (!request.mode || request.ignoreAccents || !words.holdsEveryRow()) return false;
    if (request.maxLevel && words.hasLevels() && !words.levelsExact()) return false;
    switch (*request.mode) {
        case SearchMode::Anagram:
        case SearchMode::Synogram:
        case SearchMode::Letters:
        case SearchMode::Mask:
        case SearchMode::Palindrome:
            return true;
        default:
            return false;
    }
}

qint64 ListFromIndex(const WordSnapshot& words, const SearchRequest& request, RunControl& run, WordSink& sink) {
    // A file that never had levels has no word of any level.
    if (request.maxLevel && !words.hasLevels()) return 0;
    const Limits limits(request);
    switch (*request.mode) {
        case SearchMode::Anagram:
        case SearchMode::Synogram:
            return listRows(words, byKey(words, request, limits), request.sortByLength, run, sink);
        case SearchMode::Letters:
            return listRows(words, byLetters(words, request, limits), request.sortByLength, run, sink);
        case SearchMode::Mask:
            return listRows(words, byMask(words, request, limits), request.sortByLength, run, sink);
        default:
            return listRows(words, byReversal(words, limits), request.sortByLength, run, sink);
    }
}

}  // namespace lexivo
