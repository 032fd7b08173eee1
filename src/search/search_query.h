#pragma once

// The pieces of a search that need no database: the typed request, the query text of each mode, the input keys,
// the mask's row test and the reversal of a word. Input that goes between single quotes has its quotes doubled.

#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

#include "search/search_modes.h"

namespace lexivo {

// The status line while a search is being prepared.
inline const QString kStartingSearch = QStringLiteral("Starting search...");
// The status line after a search: "Found 12 word(s)."
QString FoundMessage(qint64 count);

// One search, as the window's search panel and the command line ask for it.
struct SearchRequest {
    std::optional<SearchMode> mode;  // none: the run lists nothing
    QString input;                   // exactly as typed; the palindrome scan does not use it
    // Word lengths in characters, both ends included. None on both sides is "(All words)"; a limit given alone
    // leaves the other side open (no word is shorter than 0 characters or longer than a field holds). Whole
    // numbers: the length lists offer whole numbers of letters and the command line takes nothing else.
    std::optional<int> minimumLength;
    std::optional<int> maximumLength;
    bool sortByLength = false;  // results by length, then by word; else by word
    int phraseWords = 3;        // Phrase: the most words of an entry (1 to 8)
    // Only the words whose level (how common they are, lexicon/word_levels.h) is at most this; a word without
    // a level is left out. None: every word.
    std::optional<int> maxLevel;
    // Letters compared by their base letters in the word order (é = e, ß = ss), in the input and in the words.
    bool ignoreAccents = false;
    // Wordle: the words that fit by the information each gives as the next guess, not in the word order.
    bool rankByInformation = false;
};

// The query text of a request in the word database's dialect: the listing of the anagram, synogram,
// letters-in-a-word and mask modes, the palindrome scan, or the look-up of find-and-add and find-and-delete.
// The one place where a search's SQL is written; empty for a request without a mode. For Wordle, the pattern
// language and a letter search that ignores accents, the words of the request's lengths, which a test of the
// mode's own then filters (scan_search.h).
// The mask narrows its scan to a range of the Word index only where that index is in the program's own word
// order (wordIndexInOwnOrder); elsewhere the range could miss words. The letter searches look up the stored
// keys where they are those of the folded word (keysStored); elsewhere (a read-only file of an older version)
// they compare the keys made from each word, the same keys, so that no word is missed.
QString QueryText(const SearchRequest& request, bool wordIndexInOwnOrder = true, bool keysStored = true);
// The words of the request's lengths and level in the table's order: for a search that tests every word itself
// and sorts only what it finds, a plain scan of the table instead of a walk of the Word index and a sort.
QString ScanQueryText(const SearchRequest& request);

// The letter keys of an input: the keys of the case-folded input, as every stored word carries them.
QString InputSortedKey(const QString& input);
QString InputLettersKey(const QString& input);

// The part of the Word index that holds every word a mask can match: the words that begin with the mask's
// literal start in the word order, as "[Word]>='ca' AND [Word]<'cb'"; empty when nothing narrows it (a mask that
// starts with a wildcard or placeholder, or a start the order gives no bounds for).
QString MaskIndexRange(const QString& mask);

// The letters-in-a-word pattern of a Letters key: "*" before each character and one at the end.
QString LettersPattern(const QString& lettersKey);
// A mask with every "@" and "#" widened to "?", the form the database matches.
QString MaskPattern(const QString& mask);

// The test a fixed mask puts to each word the database returned: a vowel (a, e, i, o, u) where the mask has
// "@" and a consonant (the other 21 letters a to z, y among them) where it has "#". Placeholders after the first
// "*" are counted from the end of the word. Positions are characters (code points).
class MaskTest {
public:
    explicit MaskTest(const QString& mask);
    // Whether the row test has anything to check: a mask without "@" and "#" accepts every row.
    bool hasPlaceholders() const { return !vowels_.empty() || !consonants_.empty(); }
    bool accepts(const QString& word) const;
    // The same for a word as UTF-8, all ASCII or not.
    bool acceptsUtf8(QByteArrayView word, bool ascii) const;

private:
    std::vector<int> vowels_;      // 1-based mask positions of "@"
    std::vector<int> consonants_;  // 1-based mask positions of "#"
    int maskLength_ = 0;
    int starPosition_ = 0;  // 1-based position of the first "*", 0 without one
};

// The characters (code points) of text in reverse order: a character outside the basic plane stays whole.
QString ReverseString(const QString& text);

}  // namespace lexivo
