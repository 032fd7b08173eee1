#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/collation.h"

namespace lexivo {

// The word database's pattern match: "*" matches any run of characters (including none), "?" exactly one
// character, every other character itself, letters compared without regard to case (Unicode simple case
// folding). Patterns and texts are UTF-8; a character is a code point (bytes of invalid UTF-8 count one each).
//
// The pattern is compiled once into the part before the first "*", the part after the last "*" and the parts in
// between: a text is then checked at its two ends first and searched for the inner parts from left to right,
// which is exact for this kind of pattern and never backtracks.
class LikePattern {
public:
    explicit LikePattern(std::string_view pattern);
    bool matches(std::string_view text) const;
    // The same, told whether text is all ASCII (the words in memory know it).
    bool matches(std::string_view text, bool ascii) const;

private:
    template <typename Text>
    bool matchFolded(const Text& text, size_t length) const;

    std::u32string head_;                // case-folded, before the first "*" (the whole pattern without one)
    std::u32string tail_;                // after the last "*"
    std::vector<std::u32string> inner_;  // between stars, non-empty parts only
    bool star_ = false;
    bool lengthOnly_ = true;    // "?" and "*" alone: only the number of characters counts
    size_t minimumLength_ = 0;  // characters any match has at least (exactly, without a star)
};

bool LikeMatch(std::string_view pattern, std::string_view text);

}  // namespace lexivo
