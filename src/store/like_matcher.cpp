#include "store/like_matcher.h"

namespace lexivo {

namespace {

std::u32string decodeFolded(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) out.push_back(FoldCase(DecodeUtf8(s, i)));
    return out;
}

// An ASCII text seen as folded code points without decoding or copying it.
struct AsciiText {
    std::string_view bytes;
    char32_t operator[](size_t i) const {
        const auto c = static_cast<unsigned char>(bytes[i]);
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    }
};

// Whether part (which holds no "*") matches text at position at; "?" matches any one character.
template <typename Text>
bool partAt(const std::u32string& part, const Text& text, size_t at) {
    for (size_t k = 0; k < part.size(); ++k)
        if (part[k] != U'?' && part[k] != text[at + k]) return false;
    return true;
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern) {
    const std::u32string folded = decodeFolded(pattern);
    lengthOnly_ = folded.find_first_not_of(U"?*") == std::u32string::npos;
    const size_t first = folded.find(U'*');
    if (first == std::u32string::npos) {
        head_ = folded;
        minimumLength_ = head_.size();
        return;
    }
    star_ = true;
    const size_t last = folded.rfind(U'*');
    head_ = folded.substr(0, first);
    tail_ = folded.substr(last + 1);
    minimumLength_ = head_.size() + tail_.size();
    for (size_t begin = first + 1; begin <= last;) {
        const size_t end = folded.find(U'*', begin);
        if (end > begin) {
            inner_.push_back(folded.substr(begin, end - begin));
            minimumLength_ += inner_.back().size();
        }
        begin = end + 1;
    }
}

template <typename Text>
bool LikePattern::matchFolded(const Text& text, size_t length) const {
    if (star_ ? length < minimumLength_ : length != minimumLength_) return false;
    if (!partAt(head_, text, 0)) return false;
    if (!star_) return true;
    const size_t end = length - tail_.size();
    if (!partAt(tail_, text, end)) return false;
    // Each inner part at its leftmost place after the one before: if any placement fits, this one does.
    size_t from = head_.size();
    for (const std::u32string& part : inner_) {
        for (;;) {
            if (from + part.size() > end) return false;
            if (partAt(part, text, from)) break;
            ++from;
        }
        from += part.size();
    }
    return true;
}

bool LikePattern::matches(std::string_view text) const {
    bool ascii = true;
    for (unsigned char ch : text) {
        if (ch >= 0x80) {
            ascii = false;
            break;
        }
    }
    return matches(text, ascii);
}

bool LikePattern::matches(std::string_view text, bool ascii) const {
    if (lengthOnly_) {
        size_t length = ascii ? text.size() : 0;
        if (!ascii)
            for (size_t i = 0; i < text.size(); ++length) DecodeUtf8(text, i);
        return star_ ? length >= minimumLength_ : length == minimumLength_;
    }
    if (ascii) return matchFolded(AsciiText{text}, text.size());
    const std::u32string folded = decodeFolded(text);
    return matchFolded(folded, folded.size());
}

bool LikeMatch(std::string_view pattern, std::string_view text) {
    return LikePattern(pattern).matches(text);
}

}  // namespace lexivo
