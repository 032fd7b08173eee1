#pragma once

// A small, plainly written model of what each search mode lists, the word order and the letter keys: the
// searches, imports and exports are checked against it on random words from a hostile alphabet. It is slow and
// obviously right; it shares no code with the program.

#include <QtCore>
#include <random>

namespace lexivo::test {

// The database's case folding for equality ([Word]=, the key look-ups, duplicates, Add and Delete): Unicode simple
// case folding of every character.
QString ReferenceFold(const QString& text);
inline bool ReferenceEqual(const QString& a, const QString& b) {
    return ReferenceFold(a) == ReferenceFold(b);
}
// The database's word order (ORDER BY [Word]), built on Qt's Unicode tables: the base letters of the folded
// words first (decomposed, marks left out, ß æ œ written out), then the folded characters; -1, 0 or 1.
int ReferenceCompare(const QString& a, const QString& b);
bool ReferenceWordLess(const QString& a, const QString& b);
// The order of the results: by word, or by length (in characters) and then by word.
bool ReferenceResultLess(const QString& a, const QString& b, bool sortByLength);

// The two keys stored with a word: its case-folded characters in falling code point order, and those without
// repeats and without "*".
QString ReferenceSorted(const QString& word);
QString ReferenceLetters(const QString& word);
int ReferenceLength(const QString& text);  // characters (code points)

// The pattern match: "*" any run, "?" one character, letters compared under Unicode simple case folding.
bool ReferenceLike(const QString& pattern, const QString& text);

// A text as the letter searches compare it with accents ignored: folded, each character written as its base
// letters.
QString ReferenceBaseLetters(const QString& text);

// Wordle by its definition: the marks the game gives guess when the answer is answer (both of one length), one
// of "g" (green), "y" (yellow) and "." (grey) per letter: greens first, then yellows from the left while the
// answer has copies of the letter that no earlier mark took. A word fits guesses that got these marks from it.
QString ReferenceFeedback(const QString& guess, const QString& answer);
// The expected information of guess over the candidates, in bits, and the size of its largest group.
std::pair<double, int> ReferenceInformation(const QString& guess, const QStringList& candidates);
// The pattern language written as a regular expression of Qt's engine over the folded word (letters already in
// the form the search compares): anagram blocks as every order of their letters, letter variables as named groups
// kept apart by look-aheads.
QRegularExpression ReferencePattern(const QString& pattern, bool ignoreAccents);

enum class TestMode { Anagram, Synogram, Letters, Mask, Palindrome, Add, Delete };
const char* ModeName(TestMode mode);

// The words of stored that the listing mode lists for input, each length in minimum..maximum (0, 0: every
// length), in no particular order.
QStringList ReferenceSearch(const QStringList& stored, TestMode mode, const QString& input, int minimum, int maximum);

// Expects actual to hold exactly the words of expected (as many times each) in the result order; words that
// order as equal may come in either order.
void ExpectSameResults(const QStringList& actual, const QStringList& expected, bool sortByLength);

// Random words from a hostile alphabet: A-Z a-z, accented capitals and smalls, umlauts, sharp s and capital sharp
// s, the Kelvin sign, the long s, ligatures, Greek with final sigma, Cyrillic, a character beyond the basic plane,
// digits, apostrophe, quotes, "*", "?" and "%". Most are drawn from a few letters, so that searches find
// something; some are case variants (capitals anywhere), reversals or reorderings of earlier ones.
QStringList RandomWords(std::mt19937& random, int count, int maximumLength = 7);
// The seed of a trial's random choices: its own, or LEXIVO_TRIAL_SEED to explore further (a failure names the
// seed, so that it can be run again).
inline std::uint32_t TrialSeed(std::uint32_t own) {
    bool ok = false;
    const uint seed = qEnvironmentVariable("LEXIVO_TRIAL_SEED").toUInt(&ok);
    return ok ? seed : own;
}
// The values that make up a trial, joined by blanks, so that a failure names them.
template <class... Values>
std::string Describe(const Values&... values) {
    QStringList parts;
    ((parts << QVariant(values).toString()), ...);
    return parts.join(QLatin1Char(' ')).toStdString();
}
// One random character of that alphabet.
QString RandomCharacter(std::mt19937& random);
// text with its characters' case changed at random, and shuffled unless told not to.
QString Scramble(std::mt19937& random, const QString& text, bool shuffle = true);

}  // namespace lexivo::test
