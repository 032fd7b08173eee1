#include "search/word_index.h"

#include <sys/mman.h>

#include <QChar>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>
#include <unordered_map>

#include "common/run_control.h"
#include "search/letter_fold.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/word_lookup.h"
#include "store/collation.h"
#include "store/engine.h"
#include "store/schema.h"
#include "store/statement.h"

namespace lexivo {

namespace {

// The code point that starts at i, and i moved past it; a lone surrogate stands for itself.
char32_t nextCodePoint(QStringView text, qsizetype& i) {
    const char16_t c = text[i++].unicode();
    if (QChar::isHighSurrogate(c) && i < text.size() && QChar::isLowSurrogate(text[i].unicode()))
        return QChar::surrogateToUcs4(c, text[i++].unicode());
    return c;
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
    if (const int order =
            CompareWords({a.data(), static_cast<size_t>(a.size())}, {b.data(), static_cast<size_t>(b.size())});
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

LetterRack::LetterRack(const QString& text, bool withBlanks, bool asBaseLetters) : baseLetters(asBaseLetters) {
    std::u32string forms;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = nextCodePoint(text, i);
        if (withBlanks && c == U'?') {
            ++blanks;
            ++tiles;
            continue;
        }
        forms.clear();
        AppendGameLetters(c, asBaseLetters, forms);
        for (const char32_t folded : forms) {
            const auto at =
                std::find_if(letters.begin(), letters.end(), [folded](const auto& l) { return l.first == folded; });
            if (at == letters.end())
                letters.emplace_back(folded, 1);
            else
                ++at->second;
            ++tiles;
        }
    }
}

// ---- WordSnapshot ----

WordSnapshot::WordSnapshot(const QStringList& words, const LetterRack* only, bool baseLetters)
    : baseLetters_(baseLetters) {
    prepare(only);
    for (const QString& word : words) add(word.toUtf8());
    finish();
}

WordSnapshot::~WordSnapshot() = default;

const WordLookup& WordSnapshot::lookup() const {
    std::call_once(lookupMade_, [this] { lookup_ = std::make_unique<WordLookup>(*this); });
    return *lookup_;
}

bool WordSnapshot::makeLookup(const std::function<bool()>& keepGoing) const {
    std::call_once(lookupMade_, [&] { lookup_ = std::make_unique<WordLookup>(*this, keepGoing); });
    if (lookup_->stopped()) return false;
    lookup_->makeKeys(keepGoing);
    if (!lookup_->stopped()) lookup_->makeReversals(keepGoing);
    return !lookup_->stopped();
}

size_t WordSnapshot::memoryBytes() const {
    size_t bytes = utf8_.capacity() + entries_.capacity() * sizeof(Entry) +
                   (rank_.capacity() + order_.capacity() + byCount_.capacity()) * sizeof(quint32) + levels_.capacity();
    if (lookup_) bytes += lookup_->memoryBytes();
    return bytes;
}

std::vector<quint8> WordSnapshot::readLevels(Connection& db, const std::vector<qint64>& rows,
                                             const std::function<bool()>& keepGoing) {
    levelField_ = true;
    std::vector<quint8> levels(rows.size(), kNoLevel);
    // Each row's word, found by its row id: the ids of a table mostly run from 1 to its count, so a table of
    // every id serves; a table of scattered ids is searched sorted instead.
    constexpr quint32 kNone = 0xFFFFFFFF;
    const qint64 top = rows.empty() ? 0 : *std::max_element(rows.begin(), rows.end());
    const qint64 bottom = rows.empty() ? 0 : *std::min_element(rows.begin(), rows.end());
    const bool dense = bottom >= 0 && top < static_cast<qint64>(rows.size()) * 4 + 4096;
    std::vector<quint32> readAt;
    std::vector<std::pair<qint64, quint32>> sorted;
    if (dense) {
        readAt.assign(static_cast<size_t>(top) + 1, kNone);
        for (size_t k = 0; k < rows.size(); ++k) readAt[static_cast<size_t>(rows[k])] = static_cast<quint32>(k);
    } else {
        sorted.reserve(rows.size());
        for (size_t k = 0; k < rows.size(); ++k) sorted.emplace_back(rows[k], static_cast<quint32>(k));
        std::sort(sorted.begin(), sorted.end());
    }
    const auto wordOfRow = [&](qint64 row) -> quint32 {
        if (dense) return row >= 0 && row <= top ? readAt[static_cast<size_t>(row)] : kNone;
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), std::pair<qint64, quint32>(row, 0));
        return at != sorted.end() && at->first == row ? at->second : kNone;
    };
    // Every row, so that a table of millions of rows without levels asks keepGoing as often as one with them. A
    // level that no byte holds as [Level]<= compares it (not a number, or beyond 0 to 254) leaves the levels
    // inexact: searches of a level then go to the database. A fraction is kept as its next whole number, which
    // every whole limit compares alike.
    qint64 read = 0;
    db.scan(QStringLiteral("SELECT rowid,[Level] FROM [Dictionary]"), [&](const Statement& row) {
        if ((++read & 4095) == 0 && keepGoing && !keepGoing()) {
            complete_ = false;
            return false;
        }
        double level = 0;
        switch (row.type(1)) {
            case SQLITE_NULL:
                return true;
            case SQLITE_INTEGER:
                level = static_cast<double>(std::clamp<qint64>(row.integer(1), -1, 255));
                break;
            case SQLITE_FLOAT:
                level = row.real(1);
                break;
            default:
                level = 255;
        }
        const quint32 k = wordOfRow(row.integer(0));
        // A row the words were read without (a row added since) or a level out of range.
        if (!(level > -1 && level <= 254) || k == kNone) {
            levelsExact_ = false;
            return false;
        }
        levels[k] = static_cast<quint8>(std::max(0.0, std::ceil(level)));
        return true;
    });
    return levels;
}

WordSnapshot::WordSnapshot(Connection& db, const std::function<bool()>& keepGoing, const LetterRack* only,
                           std::optional<int> maxLevel, bool withLevels, bool baseLetters)
    : baseLetters_(baseLetters) {
    prepare(only);
    const bool everyWord = !only && !maxLevel;
    if (everyWord) {
        // Room for every word at once: memory that grows step by step is copied and touched twice.
        const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM [Dictionary]"));
        entries_.reserve(static_cast<size_t>(rows));
        utf8_.reserve(static_cast<size_t>(rows) * 12);
    }
    qint64 read = 0;
    // Each word's row id, in the order read, where the levels are read after the words.
    const bool levels = everyWord && withLevels && FieldExists(db, QStringLiteral("Dictionary"), kLevelField);
    std::vector<qint64> rows;
    if (levels) rows.reserve(entries_.capacity());
    // In the order of the Word index, which is the word order but for words equal but for letter case: finish()
    // then has next to nothing to sort. The index holds the words themselves and their row ids, so the table is
    // not read; the levels are read afterwards in one pass over the table, each found by its row id. The words
    // of some levels are read in one pass over the table instead, which holds the levels: the Word index would
    // fetch every row's level at random, and finish() sorts the few words read.
    const QString query =
        maxLevel ? QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE [Level]<=") + QString::number(*maxLevel)
        : levels ? QStringLiteral("SELECT [Word],rowid FROM [Dictionary] ORDER BY [Word]")
                 : QStringLiteral("SELECT [Word] FROM [Dictionary] ORDER BY [Word]");
    db.forEachTextAndNumber(query, [&](QByteArrayView utf8, qint64 row) {
        // A row without a word is listed by no search that a snapshot serves alike.
        if (utf8.isNull()) {
            everyRow_ = false;
        } else {
            const size_t before = entries_.size();
            add(utf8);
            if (levels && entries_.size() > before) rows.push_back(row);
        }
        if ((++read & 4095) == 0 && keepGoing && !keepGoing()) complete_ = false;
        return complete_;
    });
    std::vector<quint8> levelsRead;
    if (levels && complete_) levelsRead = readLevels(db, rows, keepGoing);
    if (complete_) finish(levelsRead, keepGoing);
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
            if (rackTiles_[id] > 0) rackMask_ |= LetterBit(static_cast<quint32>(id));
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
    if (utf8.size() >= kAscii) {  // far past what the Word field holds
        everyRow_ = false;
        return;
    }
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
            mask |= LetterBit(static_cast<quint32>(id));
            ++letters;
        }
    }
    int unknown = 0;  // letters that have no id yet: no tile is of them
    if (!ascii) {
        folded_.clear();
        mask = 0;
        const QString word = QString::fromUtf8(utf8);
        // Bytes that are not UTF-8 reach a search of the database as the characters Qt makes of them.
        if (blanks_ < 0 && word.toUtf8() != utf8) everyRow_ = false;
        for (qsizetype i = 0; i < word.size();) AppendGameLetters(nextCodePoint(word, i), baseLetters_, folded_);
        for (const char32_t letter : folded_) {
            if (const int id = letterId(letter); id >= 0)
                mask |= LetterBit(static_cast<quint32>(id));
            else
                ++unknown;
        }
        letters = static_cast<int>(folded_.size());
    }
    if (letters > 0xFFFF) {
        everyRow_ = false;
        return;
    }
    if (blanks_ >= 0) {
        // No rack or phrase can use a word without letters.
        if (letters == 0) return;
        // Every letter the rack lacks needs a blank of its own: a quick no for most words.
        const quint64 lacking = mask & ~rackMask_;
        if (!AtMostBits(lacking, blanks_ - unknown)) return;
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
        for (const char32_t letter : folded_) mask |= LetterBit(idOf(letter));
    }
    entries_.push_back({static_cast<quint32>(utf8_.size()), static_cast<quint16>(utf8.size() | (ascii ? kAscii : 0)),
                        static_cast<quint16>(letters), mask});
    utf8_.insert(utf8_.end(), utf8.begin(), utf8.end());
}

QString WordSnapshot::word(qsizetype index) const {
    const Entry& e = entries_[static_cast<size_t>(index)];
    const QByteArrayView bytes = bytesOf(e);
    return (e.bytes & kAscii) ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

int WordSnapshot::characterCount(qsizetype index) const {
    const Entry& e = entries_[static_cast<size_t>(index)];
    const QByteArrayView bytes = bytesOf(e);
    if (e.bytes & kAscii) return static_cast<int>(bytes.size());
    int n = 0;
    for (const char c : bytes) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
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
    std::u32string letters;
    for (qsizetype i = 0; i < word.size();) AppendGameLetters(nextCodePoint(word, i), baseLetters_, letters);
    for (const char32_t letter : letters) ids.push_back(static_cast<quint32>(letterId(letter)));
}

std::pair<qsizetype, qsizetype> WordSnapshot::withLetterCount(int n) const {
    if (n < 0 || n > longestWord()) return {0, 0};
    return {byCount_[static_cast<size_t>(n)], byCount_[static_cast<size_t>(n) + 1]};
}

bool WordSnapshot::less(const Entry& a, const Entry& b) const {
    return WordOrderLess(bytesOf(a), bytesOf(b));
}

void WordSnapshot::finish(const std::vector<quint8>& levelsRead, const std::function<bool()>& keepGoing) {
    // Asked every so many words of the passes over them: a reading of millions of words stops at once.
    const auto stopped = [&keepGoing, this](size_t i) {
        if ((i & 0xFFFF) == 0 && keepGoing && !keepGoing()) complete_ = false;
        return !complete_;
    };
    // The words are sorted by their place in the order read, so that each takes its level along.
    std::vector<quint32> read(entries_.size());
    for (size_t i = 0; i < read.size(); ++i) read[i] = static_cast<quint32>(i);
    const auto before = [this](quint32 a, quint32 b) { return less(entries_[a], entries_[b]); };
    // Words read in the index's order are out of place only where the index orders them otherwise (letter case,
    // letters outside a to z): an insertion sort moves those few. Words in any other order are sorted outright.
    qint64 moves = 0;
    const qint64 budget = static_cast<qint64>(read.size()) + 64;
    for (size_t i = 1; i < read.size() && moves <= budget; ++i) {
        if (stopped(i)) return;
        if (!before(read[i], read[i - 1])) continue;
        const quint32 moving = read[i];
        size_t j = i;
        for (; j > 0 && before(moving, read[j - 1]) && moves <= budget; --j, ++moves) read[j] = read[j - 1];
        read[j] = moving;
    }
    if (moves > budget) std::sort(read.begin(), read.end(), before);

    // The words grouped by letter count, each group in the word order, and their bytes in the same order.
    int longest = 0;
    for (const Entry& e : entries_) longest = std::max<int>(longest, e.letterCount);
    byCount_.assign(static_cast<size_t>(longest) + 2, 0);
    for (const Entry& e : entries_) ++byCount_[e.letterCount + size_t{1}];
    for (size_t n = 1; n < byCount_.size(); ++n) byCount_[n] += byCount_[n - 1];
    std::vector<Entry, LargeAllocator<Entry>> laid(entries_.size());
    rank_.resize(entries_.size());
    order_.resize(entries_.size());
    if (stopped(0)) return;
    if (!levelsRead.empty()) levels_.assign(entries_.size(), kNoLevel);
    std::vector<quint32> next(byCount_.begin(), byCount_.end() - 1);
    for (size_t i = 0; i < read.size(); ++i) {
        if (stopped(i)) return;
        const Entry& e = entries_[read[i]];
        const quint32 at = next[e.letterCount]++;
        laid[at] = e;
        if (!levelsRead.empty()) levels_[at] = levelsRead[read[i]];
        rank_[at] = static_cast<quint32>(i);
        order_[i] = at;
    }
    std::vector<char, LargeAllocator<char>> bytes;
    bytes.reserve(utf8_.size());
    for (size_t i = 0; i < laid.size(); ++i) {
        if (stopped(i)) return;
        Entry& e = laid[i];
        const QByteArrayView word = bytesOf(e);
        e.start = static_cast<quint32>(bytes.size());
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    entries_.swap(laid);
    utf8_.swap(bytes);
}

// The snapshot of just the words a search for rack's tiles can use, read for that search; null after a stop.
std::shared_ptr<const WordSnapshot> ReadWordsFor(Connection& db, const LetterRack& rack, RunControl& run,
                                                 std::optional<int> maxLevel, bool baseLetters) {
    auto words = std::make_shared<const WordSnapshot>(
        db,
        [&run] {
            run.step(0, kStartingSearch);
            return !run.stopFlag();
        },
        &rack, maxLevel, false, baseLetters);
    return words->complete() ? words : nullptr;
}

}  // namespace lexivo
