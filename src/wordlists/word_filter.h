#pragma once

#include <QString>

namespace lexivo {

// The word filter of the import and the exports: length limits, characters that exclude a word, characters
// removed from a word. Lengths count characters (code points); character comparisons are exact (case counts).
struct WordFilter {
    bool minimumOn = false;
    double minimum = 0;
    bool maximumOn = false;
    double maximum = 0;
    bool ignoreOn = false;
    QString ignore;  // each character excludes a word that contains it
    bool removeOn = false;
    QString remove;  // each character removes its first occurrence, in the order typed

    // The whole filter, in order: minimum, maximum (on the word as given), ignore, remove. Removes characters
    // from word in place and returns the include flag.
    bool apply(QString& word) const;
    // Only the include flag, ignore and remove steps (the length limits were applied elsewhere).
    bool applyCharacters(QString& word) const;
};

}  // namespace lexivo
