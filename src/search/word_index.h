#pragma once

// The words of a database held in memory for the word games, each word's letters counted once when the words are
// read, not at every search; and the one word order of the lists the program sorts itself.

#include <QString>
#include <QStringList>
#include <QByteArrayView>
#include <QStringView>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace lexivo {

class Connection;
class RunControl;

// Whether a character is a letter that the word games count; every other character is passed over.
bool IsGameLetter(char32_t c);
// The order of every list of words the program sorts itself: the collation's word order (CompareWords), with
// texts equal but for letter case in the order of their code points. Letters are compared case folded by the
// collation's FoldCase, as everywhere else. The second form takes UTF-8.
bool WordOrderLess(QStringView a, QStringView b);
bool WordOrderLess(QByteArrayView a, QByteArrayView b);

// Memory for the large arrays of a word snapshot, in huge pages where the system gives them: a list of 600,000
// words fills some 30 MB at once, and taken page by page that memory costs more than reading the words.
void* AllocateLarge(size_t bytes);
void FreeLarge(void* memory, size_t bytes);
template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    explicit LargeAllocator(const LargeAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
    void deallocate(T* memory, size_t n) { FreeLarge(memory, n * sizeof(T)); }
    bool operator==(const LargeAllocator&) const = default;
};

// The letters of a rack or a phrase, case folded, and its blank tiles.
struct LetterRack {
    // Every letter of text is a tile of that letter; with blanks, every "?" is a blank tile. Other characters
    // are passed over. With baseLetters (accents ignored), each letter gives a tile of each of its base letters.
    LetterRack(const QString& text, bool blanks, bool baseLetters = false);
    std::vector<std::pair<char32_t, int>> letters;  // each folded letter once, with how often it comes
    int blanks = 0;
    int tiles = 0;  // letters and blanks
    bool baseLetters = false;  // read as base letters: a word laid from it is counted the same way
};

class WordLookup;

// Every word of a word list with its letters counted, never changed once built. A letter is known by a small
// number (its id); a word by its index, the words kept by letter count and then in the word order, so that a scan
// of one length reads memory in order; the words without letters come first. The words are kept as UTF-8 and
// their letters found again when a search needs them: a list of 600,000 words takes about 20 MB.
class WordSnapshot {
public:
    // The words in any order; they are put into the word order here. With only, just the words that can be laid
    // from its tiles: all a search for those tiles can use.
    // With baseLetters, the letters of a word are counted as their base letters (accents ignored: é is an e, ß is
    // two s); the words themselves and their order do not change.
    explicit WordSnapshot(const QStringList& words, const LetterRack* only = nullptr, bool baseLetters = false);
    // Every Word of db's Dictionary (with only, as above). keepGoing is asked now and then; once it answers false
    // the reading stops and the snapshot stays incomplete. Throws Error.
    // With maxLevel, only the words whose level is at most that.
    // Without only and maxLevel, each word's level is read as well, unless told not to.
    WordSnapshot(Connection& db, const std::function<bool()>& keepGoing, const LetterRack* only = nullptr,
                 std::optional<int> maxLevel = std::nullopt, bool withLevels = true, bool baseLetters = false);
    ~WordSnapshot();

    bool complete() const { return complete_; }
    // Whether the letters are counted as their base letters; a search's input must be read the same way.
    bool baseLetters() const { return baseLetters_; }
    // Every word, those without letters among them (first, where no count of letters reaches them); a snapshot
    // limited to a rack holds only words of letters.
    qsizetype size() const { return static_cast<qsizetype>(entries_.size()); }
    QString word(qsizetype index) const;
    // The word as stored (UTF-8), and whether it is all ASCII.
    QByteArrayView bytes(qsizetype index) const { return bytesOf(entries_[static_cast<size_t>(index)]); }
    bool isAscii(qsizetype index) const { return entries_[static_cast<size_t>(index)].bytes & kAscii; }
    // Its number of characters (code points), as the length limits count them.
    int characterCount(qsizetype index) const;

    // Whether every row of the table is held as the database holds it: no row without a word, no word that is
    // not valid UTF-8 or too long to keep. Else the searches that must list what the database lists go to it.
    bool holdsEveryRow() const { return everyRow_; }
    // Whether the table has the Level field, and whether every level was read exactly (whole numbers from 0 to
    // 254, or fractions, which a whole limit compares as their next whole number).
    bool hasLevels() const { return levelField_; }
    bool levelsExact() const { return levelsExact_; }
    // Whether the word's level is at most maxLevel, as [Level]<=maxLevel decides it (no level: never).
    bool withinLevel(qsizetype index, int maxLevel) const {
        const quint8 level = levels_.empty() ? kNoLevel : levels_[static_cast<size_t>(index)];
        return level != kNoLevel && level <= maxLevel;
    }
    // Asks the processor to fetch the word at index ahead of its use (a scan in the word order, which jumps
    // between the groups of letter counts); bytes: its characters too, once its entry was fetched.
    void prefetch(qsizetype index, bool bytes) const {
        const Entry& e = entries_[static_cast<size_t>(index)];
        if (bytes)
            __builtin_prefetch(utf8_.data() + e.start);
        else
            __builtin_prefetch(&e);
    }
    // The index of the word at a position of the word order (the inverse of wordOrder()).
    qsizetype atOrder(quint32 order) const { return order_[order]; }
    // The look-up tables of the letter keys and of the words themselves, made on first use.
    const WordLookup& lookup() const;
    // Makes the look-up tables and those of the keys now, asking keepGoing now and then; false when it answered
    // false, and the snapshot is then not to be searched.
    bool makeLookup(const std::function<bool()>& keepGoing) const;
    // The memory the snapshot holds, its look-up tables among it once they are made.
    size_t memoryBytes() const;
    int letterCount(qsizetype index) const { return entries_[static_cast<size_t>(index)].letterCount; }
    // The ids of the word's letters, in the word's order, into ids (replacing what it held).
    void letterIds(qsizetype index, std::vector<quint32>& ids) const;
    // Calls f with the id of each letter of the word, in the word's order, while f answers true.
    template <typename F>
    void forEachLetterId(qsizetype index, F&& f) const {
        const Entry& e = entries_[static_cast<size_t>(index)];
        if (e.bytes & kAscii) {
            const char* p = utf8_.data() + e.start;
            for (const char* end = p + (e.bytes & ~kAscii); p != end; ++p)
                if (const int id = asciiIds_[static_cast<unsigned char>(*p)]; id >= 0 && !f(static_cast<quint32>(id)))
                    return;
            return;
        }
        std::vector<quint32> ids;
        letterIds(index, ids);
        for (const quint32 id : ids)
            if (!f(id)) return;
    }
    // One bit per letter of the word: bit (id % 64).
    quint64 letterMask(qsizetype index) const { return entries_[static_cast<size_t>(index)].mask; }
    // The words of n letters: the indexes from first to end - 1, in the word order (n = 0: the words without
    // letters).
    std::pair<qsizetype, qsizetype> withLetterCount(int n) const;
    int longestWord() const { return static_cast<int>(byCount_.size()) - 2; }
    // The word's position in the word order of all words.
    quint32 wordOrder(qsizetype index) const { return rank_[static_cast<size_t>(index)]; }
    // The id of a folded letter, -1 when no word holds it; and the number of ids.
    int letterId(char32_t folded) const;
    int alphabetSize() const { return static_cast<int>(ids_.size()); }

private:
    struct Entry {
        quint32 start;  // in utf8_
        quint16 bytes;  // the top bit says that they are all ASCII
        quint16 letterCount;
        quint64 mask;
    };
    static constexpr quint16 kAscii = 0x8000;
    static constexpr quint8 kNoLevel = 255;

    void prepare(const LetterRack* only);
    void add(QByteArrayView utf8);
    // The level of each word read, by the row ids of the words in the order read (kNoLevel for none).
    std::vector<quint8> readLevels(Connection& db, const std::vector<qint64>& rows,
                                   const std::function<bool()>& keepGoing);
    bool admits(const std::vector<int>& ids);
    quint32 idOf(char32_t folded);
    QByteArrayView bytesOf(const Entry& entry) const {
        return QByteArrayView(utf8_.data() + entry.start, entry.bytes & ~kAscii);
    }
    bool less(const Entry& a, const Entry& b) const;
    // Sorts the words read and lays them out; levelsRead, when given, are their levels in the order read.
    // keepGoing, when given, is asked now and then; once it answers false the snapshot stays incomplete.
    void finish(const std::vector<quint8>& levelsRead = {}, const std::function<bool()>& keepGoing = {});

    std::vector<char, LargeAllocator<char>> utf8_;
    std::vector<Entry, LargeAllocator<Entry>> entries_;   // by letter count, then in the word order
    std::vector<quint32, LargeAllocator<quint32>> rank_;  // each one's position in the word order
    std::vector<quint32, LargeAllocator<quint32>> order_;  // the index at each position of the word order
    std::vector<quint8> levels_;  // each one's level, kNoLevel for none; empty when no level was read
    std::vector<quint32> byCount_;                        // where the words of n letters start
    std::unordered_map<char32_t, quint32> ids_;
    std::array<int, 128> asciiIds_{};         // the id of each ASCII character, -1 for one that is not a letter
    // The tiles of the rack a snapshot is limited to, by letter id; with blanks_ < 0 every word is taken.
    std::vector<int> rackTiles_;
    int blanks_ = -1;
    quint64 rackMask_ = 0;
    std::vector<int> used_;
    std::vector<int> wordIds_;      // the letters of the word being added (-1: a letter without an id yet)
    std::u32string folded_;         // and of a word beyond ASCII, folded
    bool complete_ = true;
    bool baseLetters_ = false;
    bool everyRow_ = true;
    bool levelField_ = false;
    bool levelsExact_ = true;
    mutable std::once_flag lookupMade_;
    mutable std::unique_ptr<WordLookup> lookup_;
};

// Whether bits has at most n bits set (n small: the blanks of a rack).
inline bool AtMostBits(quint64 bits, int n) {
    for (; bits && n > 0; --n) bits &= bits - 1;
    return bits == 0 && n >= 0;
}

// The mask bit of a letter id.
inline quint64 LetterBit(quint32 id) {
    return quint64{1} << (id & 63);
}

// The snapshot of just the words of db that can be laid from rack's tiles, read for one search: progress through
// run, and null once the user stops it. Throws Error.
// With baseLetters, the letters counted as their base letters (the rack must have been read so too).
std::shared_ptr<const WordSnapshot> ReadWordsFor(Connection& db, const LetterRack& rack, RunControl& run,
                                                 std::optional<int> maxLevel = std::nullopt, bool baseLetters = false);

}  // namespace lexivo
