#pragma once

#include <string>
#include <string_view>

namespace lexivo {

// The word database's pattern match: "*" matches any run of characters (including none), "?" exactly one
// character, every other character itself, letters compared without regard to case (Unicode simple case
// folding). Patterns and texts are UTF-8; a character is a code point (bytes of invalid UTF-8 count one each).
class LikePattern {
public:
    explicit LikePattern(std::string_view pattern);
    bool matches(std::string_view text) const;

private:
    std::u32string pattern_;  // case-folded
    bool asciiOnly_ = true;
};

bool LikeMatch(std::string_view pattern, std::string_view text);

// Decodes one code point of UTF-8 at text[i], advancing i; an invalid byte decodes as itself.
char32_t DecodeUtf8(std::string_view text, size_t& i);
char32_t FoldCase(char32_t c);

}  // namespace lexivo
