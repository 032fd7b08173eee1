#pragma once

#include <QString>

namespace lexivo {

// The two letter keys stored with every word, so that the anagram and synogram searches are one index
// look-up each. Characters are Unicode code points, compared by their numeric value. The keys are made of the
// case-folded word (the collation's FoldCase, the one folding of the program), so that "Ball", "ball" and "BALL"
// share them, and so do the input keys of every letter search.

// The characters of text, each case folded, in descending order of code point ("Letter" gives "ttrlee").
QString SortString(const QString& text);

// text with every repeated character after its first occurrence removed, and every "*" removed
// ("ttrlee" gives "trle"). Applied to a Sorted key it gives the word's distinct characters in key order.
QString UniqueChars(const QString& text);

// The keys of a word as stored: Sorted = SortString(word) (of the folded word), Letters = UniqueChars(Sorted).
struct WordKeys {
    QString sorted;
    QString letters;
};
WordKeys KeysOf(const QString& word);

// Number of characters (code points) of a text: the length that the length limits and LEN() count.
int CharacterCount(const QString& text);

// Why text cannot be stored as a word: it holds a control character (a line break or a tab, say), which would
// split it in every list it is written to. The empty text when it holds none.
QString ControlCharacterProblem(const QString& text);

}  // namespace lexivo
