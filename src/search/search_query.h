#pragma once

// The pieces of a search that need no database: the mode names, the length and order clauses, the query text of
// each mode, the input keys, the mask's row test and the reversal of a word. Query texts are built exactly as the
// search modes define them; input that goes between single quotes has its quotes doubled.

#include <QString>
#include <vector>

namespace lexivo {

// The status line while a search is being prepared.
inline const QString kStartingSearch = QStringLiteral("Starting search...");

// Mode names, by the index of the mode's button Opt_Search.
inline const QString kModeAnagram = QStringLiteral("Anagram");
inline const QString kModeSynogram = QStringLiteral("Synogram");
inline const QString kModePalindrome = QStringLiteral("Palindrome");
inline const QString kModeMask = QStringLiteral("Mask");
inline const QString kModeAdd = QStringLiteral("Add");
inline const QString kModeDelete = QStringLiteral("Delete");
inline const QString kModeLetters = QStringLiteral("Letters");

// The mode name of the selected Opt_Search index; empty when no mode (or an unknown index) is selected.
QString SearchMode(int selectedIndex);

// The length condition: empty when the minimum list's selected index is 0 ("(All words)"), else
// "LEN([Word]) BETWEEN <min> AND <max>" with the leading numbers of both lists' texts as plain decimals.
QString LengthClause(int minimumIndex, const QString& minimumText, const QString& maximumText);

// " ORDER BY LEN([Word]),[Word]" when sorting by length, else " ORDER BY [Word]".
QString OrderClause(bool sortByLength);

// The letter keys of an input: the keys of the lower-cased input, as every stored word carries them.
QString InputSortedKey(const QString& input);
QString InputLettersKey(const QString& input);

// The query text of each mode. lengthClause and orderClause as LengthClause and OrderClause give them.
QString AnagramQuery(const QString& input, const QString& lengthClause, const QString& orderClause);
QString SynogramQuery(const QString& input, const QString& lengthClause, const QString& orderClause);
QString LettersQuery(const QString& input, const QString& lengthClause, const QString& orderClause);
QString MaskQuery(const QString& mask, const QString& lengthClause, const QString& orderClause);
// The part of the Word index that holds every word a mask can match: the words that begin with the mask's
// literal start in the word order, as "[Word]>='ca' AND [Word]<'cb'"; empty when nothing narrows it (a mask that
// starts with a wildcard or placeholder, or a start the order gives no bounds for).
QString MaskIndexRange(const QString& mask);
// MaskQuery with that range added: the same rows in the same order, found on the Word index instead of by
// putting the pattern to every word (the database cannot look into the engine's own pattern match).
QString IndexedMaskQuery(const QString& mask, const QString& lengthClause, const QString& orderClause);
QString PalindromeQuery(const QString& lengthClause, const QString& orderClause);
// The look-up of find-and-add and find-and-delete (all fields; no length condition).
QString FindWordQuery(const QString& word, const QString& orderClause);

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

private:
    std::vector<int> vowels_;      // 1-based mask positions of "@"
    std::vector<int> consonants_;  // 1-based mask positions of "#"
    int maskLength_ = 0;
    int starPosition_ = 0;  // 1-based position of the first "*", 0 without one
};

// The characters (code points) of text in reverse order: a character outside the basic plane stays whole.
QString ReverseString(const QString& text);

}  // namespace lexivo
