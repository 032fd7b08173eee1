#pragma once

// The look-ups on the words in memory that the database makes through its indexes: the words of a Sorted key
// (anagrams), of a Letters key (synograms), and whether a text is a stored word (the Word index's equality). The
// keys are made here from each word, folded as the stored keys are made, never taken from the file: a file of an
// older version holds keys of another kind.

#include <QByteArrayView>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "search/word_index.h"

namespace lexivo {

// The folded code points of a word as the database compares it (the collation's FoldCase of each character),
// into out.
void FoldedCodePoints(QByteArrayView utf8, std::u32string& out);

class WordLookup {
public:
    // keepGoing, when given, is asked now and then while the tables are made; once it answers false they stay
    // incomplete and stopped() says so.
    explicit WordLookup(const WordSnapshot& words, const std::function<bool()>& keepGoing = {});

    // The indexes of the words whose characters, folded, are those of key (folded code points, any order):
    // the words whose Sorted key equals SortString of the key.
    std::vector<qsizetype> withSortedKey(std::u32string key) const;
    // The indexes of the words whose distinct characters but "*", folded, are those of key (folded, any order,
    // repeats and "*" allowed): the words whose Letters key equals UniqueChars of the key's Sorted key.
    std::vector<qsizetype> withLettersKey(std::u32string key) const;
    // Of the words at indexes, those whose reversal (their characters in reverse order) equals a word in the word
    // order, in no particular order.
    // keepGoing, when given, is asked now and then; once it answers false the answer is incomplete and stopped()
    // says so.
    std::vector<qsizetype> withReversalStored(const std::vector<qsizetype>& indexes,
                                              const std::function<bool()>& keepGoing = {}) const;
    // Finds, once for all words, whether each one's reversal is stored: the words in memory of the window answer
    // the palindromes without that work at every search. Asks keepGoing as makeKeys() does.
    void makeReversals(const std::function<bool()>& keepGoing = {}) const;
    // Whether makeReversals() was done, and its answer for the word at index.
    bool reversalsMade() const { return !reversalStored_.empty(); }
    bool reversalStored(qsizetype index) const { return reversalStored_[static_cast<size_t>(index)]; }
    // Makes the tables of the keys, which the constructor leaves to the first search by key (a search of the
    // palindromes alone needs none of them); safe to call from any thread.
    void makeKeys(const std::function<bool()>& keepGoing = {}) const;
    bool stopped() const { return stopped_; }
    size_t memoryBytes() const;

    static quint64 sequenceHash(std::u32string_view folded);

private:
    // Asks keepGoing every so many steps (done: the steps so far); true once it answered false (stopped_).
    bool stops(size_t done, const std::function<bool()>& keepGoing) const;
    bool equalsWord(qsizetype index, std::u32string_view folded) const;
    static void sortByHash(std::vector<quint64>& keyed, const std::function<bool()>& keepGoing = {});
    static std::vector<qsizetype> equalRange(const std::vector<quint64>& keyed, quint32 hash);

    const WordSnapshot& words_;
    mutable std::once_flag keysMade_;
    mutable bool stopped_ = false;
    mutable std::vector<bool> reversalStored_;
    mutable std::vector<quint64> sorted_;   // (hash of the Sorted key << 32) | index, in hash order
    mutable std::vector<quint64> letters_;  // the same for the Letters key
    std::vector<quint64> equal_;            // (hash of the folded word << 32) | index, in hash order
};

}  // namespace lexivo
