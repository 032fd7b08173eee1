#pragma once

// Wordle feedback as a filter on words, and the ranking of the words that fit by the information each would
// give as the next guess. Words and guesses are compared in the letter searches' folded form (letter_fold.h).

#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

namespace lexivo {

// What a set of guesses says about the answer.
struct WordleConstraints {
    int length = 0;                     // letters of the answer
    std::u32string green;               // the letter known at each position, 0 where none is
    std::vector<std::u32string> notAt;  // the letters known not to be at each position
    struct Count {
        char32_t letter;
        int atLeast;
        bool exact;  // the answer holds exactly atLeast of the letter
    };
    std::vector<Count> counts;

    // Whether a word, in folded form, fits every guess. Only words of letters alone are answers.
    bool accepts(std::u32string_view word) const;
};

struct WordleParse {
    WordleConstraints constraints;
    QString error;  // what is wrong and where; empty when the guesses are sound
};

// Reads guesses separated by blanks, commas or line breaks, each GUESS:MARKS with one mark per letter: "g" or
// "2" green, "y" or "1" yellow, ".", "-", "x" or "0" grey; marks and letters in any case.
WordleParse ParseWordle(const QString& input, bool ignoreAccents);

// The feedback the game gives to guess when the answer is answer (both folded, of one length), as a number
// in base 3 (0 grey, 1 yellow, 2 green, the first letter the lowest digit): greens first, then yellows left to
// right while the answer has unmatched copies of the letter.
quint64 WordleFeedback(std::u32string_view guess, std::u32string_view answer);

// The order in which to list candidates by the expected information of each as the next guess: the entropy
// of the feedback over all candidates, highest first; ties go to the smaller worst case (the largest group of
// candidates one feedback leaves), then to the earlier index (the word order). stop is asked now and then; once
// it answers true the ranking ends and the answer is empty.
std::vector<size_t> RankByInformation(const std::vector<std::u32string>& candidates,
                                      const std::function<bool(size_t done)>& stop);

}  // namespace lexivo
