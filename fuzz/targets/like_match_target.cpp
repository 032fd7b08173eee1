// The LIKE matcher against a plain reference: a table over pattern and text positions, "*" any run, "?" one
// character, everything else itself with case folded. Inputs that are not UTF-8 are only run (the two decode
// invalid bytes differently), together with what must hold whatever the bytes.

#include <QChar>
#include <string>
#include <vector>

#include "store/like_matcher.h"
#include "targets/fuzz_targets.h"

namespace lexivo::fuzz {

namespace {

// Strict UTF-8 to code points; false when the bytes are not UTF-8.
bool decode(const std::string& s, std::u32string& out) {
    out.clear();
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t c = 0;
        if (b < 0x80) {
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            c = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            c = b & 0x07;
        } else {
            return false;
        }
        if (extra > 0 && i + static_cast<std::size_t>(extra) >= s.size()) return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        if ((extra == 2 && c < 0x800) || (extra == 3 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        out.push_back(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

char32_t fold(char32_t c) {
    return static_cast<char32_t>(QChar::toCaseFolded(static_cast<uint>(c)));
}

bool reference(const std::u32string& p, const std::u32string& t) {
    std::vector<char> previous(t.size() + 1, 0), current(t.size() + 1, 0);
    previous[0] = 1;
    for (const char32_t c : p) {
        current[0] = previous[0] && c == U'*';
        for (std::size_t j = 1; j <= t.size(); ++j) {
            if (c == U'*')
                current[j] = previous[j] || current[j - 1];
            else
                current[j] = previous[j - 1] && (c == U'?' || fold(c) == fold(t[j - 1]));
        }
        previous.swap(current);
    }
    return previous[t.size()] != 0;
}

}  // namespace

int LikeMatchTarget(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const TwoParts parts = Split(data, size);
    const std::string& pattern = parts.first;
    const std::string& text = parts.second;
    const bool matched = LikeMatch(pattern, text);
    FUZZ_CHECK(LikePattern(pattern).matches(text) == matched, "a compiled pattern and a single match disagree");
    FUZZ_CHECK(LikeMatch("*", text), "\"*\" did not match everything");
    // Each character of a pattern matches itself, "*" and "?" included.
    FUZZ_CHECK(LikeMatch(pattern, pattern), "a pattern did not match its own text");
    std::u32string p, t;
    if (decode(pattern, p) && decode(text, t))
        FUZZ_CHECK(reference(p, t) == matched, "differs from the reference matcher");
    return 0;
}

}  // namespace lexivo::fuzz
