#include "search/word_games.h"

#include <sys/mman.h>

#include <QChar>
#include <algorithm>
#include <cstdlib>
#include <new>
#include <unordered_map>

#include "common/run_control.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "store/collation.h"
#include "store/engine.h"

namespace lexivo {

namespace {

// The code point that starts at i, and i moved past it; a lone surrogate stands for itself.
char32_t nextCodePoint(QStringView text, qsizetype& i) {
    const char16_t c = text[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < text.size() && QChar::isLowSurrogate(text[i].unicode()))
        return QChar::surrogateToUcs4(c, text[i++].unicode());
    return c;
}

// Whether bits has at most n bits set (n small: the blanks of a rack).
bool atMostBits(quint64 bits, int n) {
    for (; bits && n > 0; --n) bits &= bits - 1;
    return bits == 0 && n >= 0;
}

quint64 letterBit(quint32 id) {
    return quint64{1} << (id & 63);
}

}  // namespace

bool IsGameLetter(char32_t c) {
    return QChar::isLetter(c);
}

bool WordOrderLess(QStringView a, QStringView b) {
    return WordOrderLess(QByteArrayView(a.toUtf8()), QByteArrayView(b.toUtf8()));
}

bool WordOrderLess(QByteArrayView a, QByteArrayView b) {
    // The collation's order; texts it holds equal (equal but for letter case) are ordered by their code points,
    // which UTF-8 bytes compare in, so that the order is total: "Ab" < "ab" < "abc".
    if (const int order = CompareWords({a.data(), static_cast<size_t>(a.size())},
                                       {b.data(), static_cast<size_t>(b.size())});
        order != 0)
        return order < 0;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char p, char q) {
        return static_cast<unsigned char>(p) < static_cast<unsigned char>(q);
    });
}

// ---- Memory ----

namespace {
constexpr size_t kHugePage = size_t{2} << 20;
}

void* AllocateLarge(size_t bytes) {
    if (bytes < kHugePage) return ::operator new(bytes);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (!memory) throw std::bad_alloc();
    madvise(memory, rounded, MADV_HUGEPAGE);  // a hint: without huge pages the memory is the same
    return memory;
}

void FreeLarge(void* memory, size_t bytes) {
    if (bytes < kHugePage)
        ::operator delete(memory);
    else
        std::free(memory);
}

// ---- LetterRack ----

LetterRack::LetterRack(const QString& text, bool withBlanks) {
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, i);
        if (withBlanks && c == U'?') {
            ++blanks;
        } else if (IsGameLetter(c)) {
            const char32_t folded = FoldCase(c);
            const auto at =
                std::find_if(letters.begin(), letters.end(), [folded](const auto& l) { return l.first == folded; });
            if (at == letters.end())
                letters.emplace_back(folded, 1);
            else
                ++at->second;
        } else {
            continue;
        }
        ++tiles;
    }
}

// ---- WordSnapshot ----

WordSnapshot::WordSnapshot(const QStringList& words, const LetterRack* only) {
    prepare(only);
    for (const QString& word : words) add(word.toUtf8());
    finish();
}

WordSnapshot::WordSnapshot(Connection& db, const std::function<bool()>& keepGoing, const LetterRack* only) {
    prepare(only);
    if (!only) {
        // Room for every word at once: memory that grows step by step is copied and touched twice.
        const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM [Dictionary]"));
        entries_.reserve(static_cast<size_t>(rows));
        utf8_.reserve(static_cast<size_t>(rows) * 12);
    }
    qint64 read = 0;
    // In the order of the Word index, which is the word order but for words equal but for letter case: finish()
    // then has next to nothing to sort. The index holds the words themselves, so the table is not read.
    db.forEachText(QStringLiteral("SELECT [Word] FROM [Dictionary] ORDER BY [Word]"), [&](QByteArrayView utf8) {
        add(utf8);
        if ((++read & 4095) == 0 && keepGoing && !keepGoing()) complete_ = false;
        return complete_;
    });
    finish();
}

void WordSnapshot::prepare(const LetterRack* only) {
    // The letters a to z get the first ids, so that their mask bits are their own.
    for (char32_t c = U'a'; c <= U'z'; ++c) idOf(FoldCase(c));
    // ASCII words, most of most lists, are read through two tables made by the same functions as the rest.
    for (char32_t c = 0; c < 128; ++c) {
        asciiIds_[c] = IsGameLetter(c) ? static_cast<int>(idOf(FoldCase(c))) : -1;
    }
    if (only) {
        for (const auto& [letter, count] : only->letters) {
            const quint32 id = idOf(letter);
            if (rackTiles_.size() <= id) rackTiles_.resize(id + 1, 0);
            rackTiles_[id] += count;
        }
        used_.assign(rackTiles_.size(), 0);
        blanks_ = only->blanks;
        for (size_t id = 0; id < rackTiles_.size(); ++id)
            if (rackTiles_[id] > 0) rackMask_ |= letterBit(static_cast<quint32>(id));
    }
}

quint32 WordSnapshot::idOf(char32_t folded) {
    return ids_.try_emplace(folded, static_cast<quint32>(ids_.size())).first->second;
}

int WordSnapshot::letterId(char32_t folded) const {
    const auto at = ids_.find(folded);
    return at == ids_.end() ? -1 : static_cast<int>(at->second);
}

bool WordSnapshot::admits(const std::vector<int>& ids) {
    // Each letter takes a tile of its own letter while there is one, else a blank.
    int needed = 0;
    const auto tiles = static_cast<int>(used_.size());
    for (const int id : ids)
        if (id < 0 || id >= tiles || ++used_[static_cast<size_t>(id)] > rackTiles_[static_cast<size_t>(id)]) ++needed;
    for (const int id : ids)
        if (id >= 0 && id < tiles) used_[static_cast<size_t>(id)] = 0;
    return needed <= blanks_;
}

void WordSnapshot::add(QByteArrayView utf8) {
    if (utf8.size() >= kAscii) return;  // far past what the Word field holds
    quint64 mask = 0;
    int letters = 0;
    bool ascii = true;
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            ascii = false;
            break;
        }
        if (const int id = asciiIds_[b]; id >= 0) {
            mask |= letterBit(static_cast<quint32>(id));
            ++letters;
        }
    }
    int unknown = 0;  // letters that have no id yet: no tile is of them
    if (!ascii) {
        folded_.clear();
        mask = 0;
        const QString word = QString::fromUtf8(utf8);
        for (qsizetype i = 0; i < word.size();) {
            const char32_t c = nextCodePoint(word, i);
            if (!IsGameLetter(c)) continue;
            folded_.push_back(FoldCase(c));
            if (const int id = letterId(folded_.back()); id >= 0)
                mask |= letterBit(static_cast<quint32>(id));
            else
                ++unknown;
        }
        letters = static_cast<int>(folded_.size());
    }
    // No rack or phrase can use a word without letters.
    if (letters == 0 || letters > 0xFFFF) return;
    if (blanks_ >= 0) {
        // Every letter the rack lacks needs a blank of its own: a quick no for most words.
        const quint64 lacking = mask & ~rackMask_;
        if (!atMostBits(lacking, blanks_ - unknown)) return;
        if (unknown > blanks_) return;
        wordIds_.clear();
        if (ascii) {
            for (const char c : utf8)
                if (const int id = asciiIds_[static_cast<unsigned char>(c)]; id >= 0) wordIds_.push_back(id);
        } else {
            for (const char32_t letter : folded_) wordIds_.push_back(letterId(letter));
        }
        if (!admits(wordIds_)) return;
    }
    if (!ascii) {
        mask = 0;
        for (const char32_t letter : folded_) mask |= letterBit(idOf(letter));
    }
    entries_.push_back({static_cast<quint32>(utf8_.size()), static_cast<quint16>(utf8.size() | (ascii ? kAscii : 0)),
                        static_cast<quint16>(letters), mask});
    utf8_.insert(utf8_.end(), utf8.begin(), utf8.end());
}

QByteArrayView WordSnapshot::bytesOf(const Entry& entry) const {
    return QByteArrayView(utf8_.data() + entry.start, entry.bytes & ~kAscii);
}

QString WordSnapshot::word(qsizetype index) const {
    const QByteArrayView bytes = bytesOf(entries_[static_cast<size_t>(index)]);
    return QString::fromUtf8(bytes);
}

void WordSnapshot::letterIds(qsizetype index, std::vector<quint32>& ids) const {
    ids.clear();
    const Entry& e = entries_[static_cast<size_t>(index)];
    const QByteArrayView bytes = bytesOf(e);
    if (e.bytes & kAscii) {
        for (const char c : bytes)
            if (const int id = asciiIds_[static_cast<unsigned char>(c)]; id >= 0)
                ids.push_back(static_cast<quint32>(id));
        return;
    }
    const QString word = QString::fromUtf8(bytes);
    for (qsizetype i = 0; i < word.size();) {
        const char32_t c = nextCodePoint(word, i);
        if (IsGameLetter(c)) ids.push_back(static_cast<quint32>(letterId(FoldCase(c))));
    }
}

std::pair<qsizetype, qsizetype> WordSnapshot::withLetterCount(int n) const {
    if (n < 1 || n > longestWord()) return {0, 0};
    return {byCount_[static_cast<size_t>(n)], byCount_[static_cast<size_t>(n) + 1]};
}

bool WordSnapshot::less(const Entry& a, const Entry& b) const {
    return WordOrderLess(bytesOf(a), bytesOf(b));
}

void WordSnapshot::finish() {
    const auto before = [this](const Entry& a, const Entry& b) { return less(a, b); };
    // Words read in the index's order are out of place only where the index orders them otherwise (letter case,
    // letters outside a to z): an insertion sort moves those few. Words in any other order are sorted outright.
    qint64 moves = 0;
    const qint64 budget = static_cast<qint64>(entries_.size()) + 64;
    for (size_t i = 1; i < entries_.size() && moves <= budget; ++i) {
        if (!before(entries_[i], entries_[i - 1])) continue;
        const Entry moving = entries_[i];
        size_t j = i;
        for (; j > 0 && before(moving, entries_[j - 1]) && moves <= budget; --j, ++moves) entries_[j] = entries_[j - 1];
        entries_[j] = moving;
    }
    if (moves > budget) std::sort(entries_.begin(), entries_.end(), before);

    // The words grouped by letter count, each group in the word order, and their bytes in the same order.
    int longest = 0;
    for (const Entry& e : entries_) longest = std::max<int>(longest, e.letterCount);
    byCount_.assign(static_cast<size_t>(longest) + 2, 0);
    for (const Entry& e : entries_) ++byCount_[e.letterCount + size_t{1}];
    for (size_t n = 1; n < byCount_.size(); ++n) byCount_[n] += byCount_[n - 1];
    std::vector<Entry, LargeAllocator<Entry>> laid(entries_.size());
    rank_.resize(entries_.size());
    std::vector<quint32> next(byCount_.begin(), byCount_.end() - 1);
    for (size_t i = 0; i < entries_.size(); ++i) {
        const quint32 at = next[entries_[i].letterCount]++;
        laid[at] = entries_[i];
        rank_[at] = static_cast<quint32>(i);
    }
    std::vector<char, LargeAllocator<char>> bytes;
    bytes.reserve(utf8_.size());
    for (Entry& e : laid) {
        const QByteArrayView word = bytesOf(e);
        e.start = static_cast<quint32>(bytes.size());
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    entries_.swap(laid);
    utf8_.swap(bytes);
}

namespace {
// The snapshot of just the words a search for rack's tiles can use, read for that search; null after a stop.
std::shared_ptr<const WordSnapshot> wordsFor(Connection& db, const LetterRack& rack, RunControl& run) {
    auto words = std::make_shared<const WordSnapshot>(
        db,
        [&run] {
            run.step(0, kStartingSearch);
            return !run.stopFlag();
        },
        &rack);
    return words->complete() ? words : nullptr;
}
}  // namespace

qint64 SearchRack(Connection& db, const QString& tiles, int minLetters, int maxLetters, RunControl& run,
                  WordSink& sink) {
    const std::shared_ptr<const WordSnapshot> words = wordsFor(db, LetterRack(tiles, true), run);
    return words ? ListRackWords(*words, tiles, minLetters, maxLetters, run, sink) : 0;
}

qint64 SearchPhrase(Connection& db, const QString& text, int maxWords, int minLetters, int maxLetters, RunControl& run,
                    WordSink& sink) {
    const std::shared_ptr<const WordSnapshot> words = wordsFor(db, LetterRack(text, false), run);
    return words ? ListPhrases(*words, text, maxWords, minLetters, maxLetters, run, sink) : 0;
}

// ---- Rack ----

qint64 ListRackWords(const WordSnapshot& words, const QString& tiles, int minLetters, int maxLetters, RunControl& run,
                     WordSink& sink) {
    const LetterRack rack(tiles, true);
    const int tileCount = rack.tiles;
    const int blanks = rack.blanks;
    std::vector<quint32> have(static_cast<size_t>(words.alphabetSize()), 0);
    quint64 rackMask = 0;
    for (const auto& [letter, count] : rack.letters) {
        // A tile of a letter that no word holds is a tile all the same, of no use.
        if (const int id = words.letterId(letter); id >= 0) {
            have[static_cast<size_t>(id)] = static_cast<quint32>(count);
            rackMask |= letterBit(static_cast<quint32>(id));
        }
    }
    std::vector<quint32> used(have.size(), 0);
    const auto fits = [&](qsizetype index) {
        int needed = 0;
        words.forEachLetterId(index, [&](quint32 id) { return ++used[id] <= have[id] || ++needed <= blanks; });
        words.forEachLetterId(index, [&](quint32 id) { return (used[id] = 0) == 0; });
        return needed <= blanks;
    };

    const int lowest = std::max(minLetters, 1);
    const int highest = std::min({maxLetters > 0 ? maxLetters : tileCount, tileCount, words.longestWord()});
    qint64 total = 0;
    for (int n = lowest; n <= highest; ++n) {
        const auto [first, end] = words.withLetterCount(n);
        total += end - first;
    }
    run.setProgressMaximum(total);
    qint64 counter = 0;
    qint64 listed = 0;
    QString current;
    for (int n = highest; n >= lowest && !run.stopFlag(); --n) {
        const auto [first, end] = words.withLetterCount(n);
        for (qsizetype index = first; index < end; ++index) {
            ++counter;
            // Every letter the rack lacks needs a blank of its own: a quick no for most words.
            if (atMostBits(words.letterMask(index) & ~rackMask, blanks) && fits(index)) {
                current = words.word(index);
                sink.add(current);
                ++listed;
            }
            if (run.step(counter, current)) sink.flush();
            if (run.stopFlag()) break;
        }
    }
    run.flush(counter, current);
    sink.flush();
    return listed;
}

// ---- Phrase ----

namespace {

// The search for phrases: the words that fit into the phrase's letters (the candidates) are found first; then
// the first word is tried in the word order, and for each the candidates that fit into the letters left and may
// follow it, and so on. The last word is looked up by the letters left.
class PhraseSearch {
public:
    PhraseSearch(const WordSnapshot& words, RunControl& run, WordSink& sink) : words_(words), run_(run), sink_(sink) {}

    qint64 run(const QString& text, int maxWords, int minLetters, int maxLetters) {
        if (prepare(text, minLetters, maxLetters)) {
            const int passes = std::clamp(maxWords, 1, kMaxPhraseWords);
            run_.setProgressMaximum(static_cast<qint64>(passes) * static_cast<qint64>(candidates_.size()));
            for (int k = 1; k <= passes && !stopped_; ++k) {
                progressBase_ = static_cast<qint64>(k - 1) * static_cast<qint64>(candidates_.size());
                // Each word has lowest to highest letters; k words must be able to hold the phrase.
                if (k * lowest_ > letterCount_ || k * highest_ < letterCount_) continue;
                path_.clear();
                if (k == 1) {
                    finishWith(phrase_, -1);
                } else {
                    remaining_.assign(static_cast<size_t>(k) + 1, {});
                    lists_.assign(static_cast<size_t>(k) + 1, {});
                    remaining_[0] = phrase_;
                    lists_[0].resize(candidates_.size());
                    for (size_t c = 0; c < candidates_.size(); ++c) lists_[0][c] = static_cast<int>(c);
                    search(0, k, letterCount_);
                }
            }
        }
        run_.flush(progress_, current_);
        sink_.flush();
        return listed_;
    }

private:
    using Counts = std::vector<quint16>;  // how many of each of the phrase's letters

    struct Candidate {
        quint32 word;  // the word's index
        int length;
        quint64 mask;  // bit (i % 64) for each phrase letter i the word holds
    };

    // The phrase's letters, the candidates and the look-up of a last word. False when nothing can match.
    bool prepare(const QString& text, int minLetters, int maxLetters) {
        std::vector<int> phraseIndex(static_cast<size_t>(words_.alphabetSize()), -1);
        quint64 phraseIds = 0;
        for (const auto& [letter, count] : LetterRack(text, false).letters) {
            const int id = words_.letterId(letter);
            if (id < 0 || count > 0xFFFF) return false;  // a letter that no word holds
            phraseIndex[static_cast<size_t>(id)] = static_cast<int>(phrase_.size());
            phrase_.push_back(static_cast<quint16>(count));
            phraseIds |= letterBit(static_cast<quint32>(id));
            letterCount_ += count;
        }
        if (letterCount_ == 0) return false;
        lowest_ = std::max(minLetters, 1);
        highest_ = std::min({maxLetters > 0 ? maxLetters : letterCount_, letterCount_, words_.longestWord()});
        width_ = phrase_.size();

        std::vector<qsizetype> found;
        std::vector<quint32> ids;
        Counts counts(width_);
        const auto countLetters = [&](qsizetype index) {
            std::fill(counts.begin(), counts.end(), 0);
            words_.letterIds(index, ids);
            for (const quint32 id : ids) {
                const int at = phraseIndex[id];
                if (at < 0 || ++counts[static_cast<size_t>(at)] > phrase_[static_cast<size_t>(at)]) return false;
            }
            return true;
        };
        for (int n = lowest_; n <= highest_; ++n) {
            const auto [first, end] = words_.withLetterCount(n);
            for (qsizetype index = first; index < end; ++index)
                if (!(words_.letterMask(index) & ~phraseIds) && countLetters(index)) found.push_back(index);
        }
        // The candidates in the word order, each with its letters counted by the phrase's letters.
        std::sort(found.begin(), found.end(),
                  [this](qsizetype a, qsizetype b) { return words_.wordOrder(a) < words_.wordOrder(b); });
        for (const qsizetype index : found) {
            countLetters(index);
            quint64 mask = 0;
            for (size_t i = 0; i < width_; ++i)
                if (counts[i]) mask |= letterBit(static_cast<quint32>(i));
            const int c = static_cast<int>(candidates_.size());
            candidates_.push_back({static_cast<quint32>(index), words_.letterCount(index), mask});
            counts_.insert(counts_.end(), counts.begin(), counts.end());
            byCounts_[hash(counts.data())].push_back(c);
        }
        return !candidates_.empty();
    }

    const quint16* countsOf(int c) const { return counts_.data() + static_cast<size_t>(c) * width_; }

    quint64 hash(const quint16* counts) const {
        quint64 h = 1469598103934665603ULL;
        for (size_t i = 0; i < width_; ++i) h = (h ^ counts[i]) * 1099511628211ULL;
        return h;
    }

    static quint64 maskOf(const Counts& counts) {
        quint64 mask = 0;
        for (size_t i = 0; i < counts.size(); ++i)
            if (counts[i]) mask |= letterBit(static_cast<quint32>(i));
        return mask;
    }

    bool fits(int c, const Counts& left, quint64 leftMask) const {
        if (candidates_[static_cast<size_t>(c)].mask & ~leftMask) return false;
        const quint16* own = countsOf(c);
        for (size_t i = 0; i < width_; ++i)
            if (own[i] > left[i]) return false;
        return true;
    }

    // Whether c may follow prev in an entry: shorter, or as long and not before it in the word order.
    bool mayFollow(int c, int prev) const {
        if (prev < 0) return true;
        const int a = candidates_[static_cast<size_t>(c)].length;
        const int b = candidates_[static_cast<size_t>(prev)].length;
        return a < b || (a == b && c >= prev);
    }

    // Chooses the word at this level of the words left; each is the longest of those still to come.
    void search(int level, int wordsLeft, int lettersLeft) {
        // Every word of the list fits into the letters left: the first level's are the candidates, and each
        // further list is filtered before it is searched.
        const Counts& left = remaining_[static_cast<size_t>(level)];
        const std::vector<int>& list = lists_[static_cast<size_t>(level)];
        for (size_t i = 0; i < list.size(); ++i) {
            const int c = list[i];
            if (level == 0) {
                progress_ = progressBase_ + static_cast<qint64>(i);
                if (listed_ == 0) current_ = words_.word(candidates_[static_cast<size_t>(c)].word);
            }
            if (tick()) return;
            const int length = candidates_[static_cast<size_t>(c)].length;
            if (length * wordsLeft < lettersLeft || lettersLeft - length < (wordsLeft - 1) * lowest_) continue;
            Counts& next = remaining_[static_cast<size_t>(level) + 1];
            next = left;
            const quint16* own = countsOf(c);
            for (size_t k = 0; k < width_; ++k) next[k] = static_cast<quint16>(next[k] - own[k]);
            const int nextLetters = lettersLeft - length;
            path_.push_back(c);
            if (wordsLeft == 2) {
                finishWith(next, c);
            } else {
                const quint64 nextMask = maskOf(next);
                const int longest = nextLetters - (wordsLeft - 2) * lowest_;
                std::vector<int>& follow = lists_[static_cast<size_t>(level) + 1];
                follow.clear();
                for (const int d : list)
                    if (candidates_[static_cast<size_t>(d)].length <= longest && mayFollow(d, c) &&
                        fits(d, next, nextMask))
                        follow.push_back(d);
                if (!follow.empty()) search(level + 1, wordsLeft - 1, nextLetters);
            }
            path_.pop_back();
            if (stopped_) return;
        }
    }

    // The last word: the candidates made of exactly the letters left, that may follow prev.
    void finishWith(const Counts& left, int prev) {
        const auto at = byCounts_.find(hash(left.data()));
        if (at == byCounts_.end()) return;
        for (const int c : at->second) {
            if (!mayFollow(c, prev) || !std::equal(left.begin(), left.end(), countsOf(c))) continue;
            QString entry;
            for (const int w : path_) entry += words_.word(candidates_[static_cast<size_t>(w)].word) + QLatin1Char(' ');
            entry += words_.word(candidates_[static_cast<size_t>(c)].word);
            sink_.add(entry);
            ++listed_;
            current_ = std::move(entry);
            if (tick()) return;
        }
    }

    // The per-record step of the run; true once the user has stopped it.
    bool tick() {
        if (run_.step(progress_, current_)) sink_.flush();
        stopped_ = stopped_ || run_.stopFlag();
        return stopped_;
    }

    const WordSnapshot& words_;
    RunControl& run_;
    WordSink& sink_;
    Counts phrase_;
    int letterCount_ = 0;
    size_t width_ = 0;
    int lowest_ = 1;
    int highest_ = 0;
    std::vector<Candidate> candidates_;
    std::vector<quint16> counts_;  // width_ per candidate
    std::unordered_map<quint64, std::vector<int>> byCounts_;
    std::vector<Counts> remaining_;        // the letters left at each level
    std::vector<std::vector<int>> lists_;  // the candidates at each level
    std::vector<int> path_;
    qint64 listed_ = 0;
    qint64 progress_ = 0;
    qint64 progressBase_ = 0;
    QString current_;
    bool stopped_ = false;
};

}  // namespace

qint64 ListPhrases(const WordSnapshot& words, const QString& text, int maxWords, int minLetters, int maxLetters,
                   RunControl& run, WordSink& sink) {
    return PhraseSearch(words, run, sink).run(text, maxWords, minLetters, maxLetters);
}

}  // namespace lexivo
