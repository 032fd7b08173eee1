#pragma once

// How common a word is: the size levels of SCOWL, the word lists the system's English dictionaries are built
// from. A list of one level holds the words that a dictionary of that size adds; a word's level is the lowest
// level of a list that holds it (10: everybody knows it; 95: only the largest dictionaries have it). Each word
// of the database keeps its level in the nullable field Level, so that any search can ask for the common words
// only with one condition, and the stock sqlite3 tool sees the same numbers.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace lexivo {

class Connection;
class RunControl;

inline const QString kDefaultScowlFolder = QStringLiteral("/usr/share/dict/scowl");
// The folder the window reads SCOWL's lists from: the one SCOWLDIR names, else kDefaultScowlFolder.
QString ScowlFolder();
inline const QString kDefaultSpelling = QStringLiteral("american");
// The spellings SCOWL offers besides the lists every spelling shares.
const QStringList& ScowlSpellings();
// The choices of "Common words only": the highest level a listed word may have.
inline constexpr int kCommonLevels[] = {35, 50, 70};

// The form in which words are compared with SCOWL's: case folded, as the word order compares them.
QString LevelKey(const QString& word);

// The lowest level of each listed word, by the UTF-8 text of its LevelKey: the keys in one block of text and a
// table of open addressing over it, so that reading the lists makes no string per word and a stored word is
// looked up as the database holds it.
class ScowlLevels {
public:
    bool contains(QByteArrayView key) const { return !slots_.empty() && slots_[slotOf(key, hashOf(key))].level >= 0; }
    // The level of key; 0 when no list holds it.
    int value(QByteArrayView key) const;
    // Sets the level of key.
    void insert(QByteArrayView key, int level);
    void reserve(qsizetype keys);
    qsizetype size() const { return count_; }

    int files = 0;

private:
    // Sixteen bytes, so that a look-up reads one line of the processor's cache for its slot.
    struct Slot {
        quint32 offset = 0;
        quint32 length = 0;
        quint32 hash = 0;
        qint32 level = -1;  // -1: free
    };
    static quint32 hashOf(QByteArrayView key);
    size_t slotOf(QByteArrayView key, quint32 hash) const;
    void rehash(size_t capacity);

    QByteArray text_;
    std::vector<Slot> slots_;
    qsizetype count_ = 0;
};

// Reads the lists of folder that every spelling shares (english-...) and those of spelling (american-...), in
// the categories words, proper-names, upper, abbreviations and contractions; the variant lists are left out.
// A list is UTF-8, or Latin-1 where it is not valid UTF-8. Progress through run; nothing after a stop.
// Throws Error with the reason for a folder that is missing, holds no list of that layout, or cannot be read.
std::optional<ScowlLevels> ReadScowl(const QString& folder, const QString& spelling, RunControl& run);

// Gives every word of db its level from levels, and no level to a word the lists lack, in one transaction:
// a stop or a failure leaves the database as it was. Returns the number of words that got a level, or nothing
// after a stop. Throws Error.
std::optional<qint64> StoreWordLevels(Connection& db, const ScowlLevels& levels, RunControl& run);

// The level of one stored word; nothing for a word without a level or a database without levels.
std::optional<int> WordLevel(Connection& db, const QString& word);

}  // namespace lexivo
