#include "store/like_matcher.h"

#include <QChar>

namespace lexivo {

char32_t DecodeUtf8(std::string_view s, size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        ++i;
        return b0;
    }
    if (i + extra >= s.size()) {
        ++i;
        return b0;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return b0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return c;
}

char32_t FoldCase(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

namespace {

std::u32string decodeFolded(std::string_view s, bool* asciiOnly) {
    std::u32string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        char32_t c = DecodeUtf8(s, i);
        if (c >= 0x80 && asciiOnly) *asciiOnly = false;
        out.push_back(FoldCase(c));
    }
    return out;
}

// Classic wildcard match with one back-tracking point (the last "*"): linear in practice, never exponential.
template <typename Text>
bool matchWild(const std::u32string& p, const Text& t, size_t tn) {
    size_t pi = 0, ti = 0, starP = std::u32string::npos, starT = 0;
    while (ti < tn) {
        if (pi < p.size() && p[pi] == U'*') {
            starP = pi++;
            starT = ti;
        } else if (pi < p.size() && (p[pi] == U'?' || p[pi] == t(ti))) {
            ++pi;
            ++ti;
        } else if (starP != std::u32string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == U'*') ++pi;
    return pi == p.size();
}

}  // namespace

LikePattern::LikePattern(std::string_view pattern) : pattern_(decodeFolded(pattern, &asciiOnly_)) {}

bool LikePattern::matches(std::string_view text) const {
    bool textAscii = true;
    for (unsigned char ch : text) {
        if (ch >= 0x80) {
            textAscii = false;
            break;
        }
    }
    if (textAscii) {
        auto at = [&](size_t i) -> char32_t {
            auto c = static_cast<unsigned char>(text[i]);
            return (c >= 'A' && c <= 'Z') ? c + 32 : c;
        };
        return matchWild(pattern_, at, text.size());
    }
    const std::u32string folded = decodeFolded(text, nullptr);
    return matchWild(
        pattern_, [&](size_t i) { return folded[i]; }, folded.size());
}

bool LikeMatch(std::string_view pattern, std::string_view text) {
    return LikePattern(pattern).matches(text);
}

}  // namespace lexivo
