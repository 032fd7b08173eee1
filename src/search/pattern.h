#pragma once

// The pattern language, a superset of the fixed mask: "?" any character, "@" a vowel, "#" a consonant, "*" any
// run of characters (as often as wanted); "[abc]", "[a-f]", "[^abc]" or "[!abc]" one character of a set or not
// of it; the digits 1 to 9 letter variables (one digit is one letter throughout, two digits two different
// letters); "<...>" an anagram block (its letters and "?"s in any order); "\" takes the next character as
// itself; a trailing enumeration "(3,5)" or "(5-4)" asks for entries whose parts have those letter counts. A
// pattern that begins with "/" is a Perl-style regular expression over the whole word, letter case ignored.
// Words are matched in the letter searches' folded form (letter_fold.h).

#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace lexivo {

class Pattern {
public:
    virtual ~Pattern() = default;
    enum class Result { NoMatch, Match, TooMuchWork };
    // word is the word as stored; folded its folded form.
    virtual Result match(const QString& word, std::u32string_view folded) const = 0;
    // The same from the word as stored in UTF-8, for a pattern that reads no folded form; none where it must.
    virtual std::optional<Result> matchUtf8(QByteArrayView) const { return std::nullopt; }
    // The length in characters of every folded word the pattern can match; none when it varies.
    virtual std::optional<int> fixedLength() const = 0;
    // The fewest characters a match has.
    virtual int minimumLength() const = 0;
};

struct PatternParse {
    std::shared_ptr<const Pattern> pattern;
    QString error;  // what is wrong and at which column; empty when the pattern is sound
};

PatternParse CompilePattern(const QString& text, bool ignoreAccents);

// The regular expression of a pattern that begins with "/" (expression is what follows it). The engine bounds
// its work per word: a word that needs more gives Result::TooMuchWork. On a fault, error says what and at which
// column of the whole pattern.
std::shared_ptr<const Pattern> CompileExpression(const QString& expression, bool ignoreAccents, QString& error);

// A fixed mask as a pattern: every character the mask takes as itself escaped.
QString PatternOfMask(const QString& mask);

}  // namespace lexivo
