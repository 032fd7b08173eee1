#include "store/collation.h"

#include <algorithm>
#include <vector>

#include "store/collation_tables.h"

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
    const auto* end = collation::kFold + collation::kFoldSize;
    const auto* at = std::lower_bound(collation::kFold, end, c,
                                      [](const collation::FoldEntry& e, char32_t x) { return e.from < x; });
    return at != end && at->from == c ? at->to : c;
}

const char* CollationUnicodeVersion() {
    return collation::kUnicodeVersion;
}

namespace {

// The base letters of a folded character: a run of code points, empty for a combining mark.
std::u32string_view baseLetters(const char32_t& c) {
    if (c >= 0x80) {
        const auto* end = collation::kBase + collation::kBaseSize;
        const auto* at = std::lower_bound(collation::kBase, end, c,
                                          [](const collation::BaseEntry& e, char32_t x) { return e.code < x; });
        if (at != end && at->code == c) return {collation::kBasePool + at->offset, at->length};
    }
    return {&c, 1};
}

// A text decoded and folded, on the stack for words of the usual length.
class FoldedText {
public:
    explicit FoldedText(std::string_view text) {
        char32_t* out = local_;
        if (text.size() > kLocal) {
            heap_.resize(text.size());
            out = heap_.data();
        }
        for (size_t i = 0; i < text.size();) out[size_++] = FoldCase(DecodeUtf8(text, i));
        data_ = out;
    }
    FoldedText(const FoldedText&) = delete;
    FoldedText& operator=(const FoldedText&) = delete;
    std::u32string_view view() const { return {data_, size_}; }

private:
    static constexpr size_t kLocal = 256;
    char32_t local_[kLocal];
    std::vector<char32_t> heap_;
    const char32_t* data_ = nullptr;
    size_t size_ = 0;
};

// The base letters of a folded text, one after the other.
class BaseLetters {
public:
    explicit BaseLetters(std::u32string_view text) : text_(text) {}
    // The next base letter, or nothing at the end.
    std::optional<char32_t> next() {
        while (run_.empty()) {
            if (position_ == text_.size()) return std::nullopt;
            run_ = baseLetters(text_[position_++]);
        }
        const char32_t c = run_.front();
        run_.remove_prefix(1);
        return c;
    }

private:
    std::u32string_view text_;
    size_t position_ = 0;
    std::u32string_view run_;
};

int compareFolded(std::u32string_view a, std::u32string_view b) {
    BaseLetters x(a), y(b);
    for (;;) {
        const auto p = x.next();
        const auto q = y.next();
        if (!p || !q) {
            if (p || q) return p ? 1 : -1;
            break;
        }
        if (*p != *q) return *p < *q ? -1 : 1;
    }
    const int order = a.compare(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

}  // namespace

void AppendBaseLetters(char32_t folded, std::u32string& out) {
    out.append(baseLetters(folded));
}

int CompareWords(std::string_view a, std::string_view b) {
    // Plain ASCII compares byte by byte with A-Z folded, as long as both texts are ASCII: the first difference
    // there decides at the level of base letters already. A common part before the first other character
    // adds the same to both sides at every level, so the rest is compared on its own.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) break;
        if (x == y) continue;
        const int fx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const int fy = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (fx != fy) return fx < fy ? -1 : 1;
    }
    // A text that is the start of the other comes first: its base letters start the other's, and so do its
    // folded code points.
    if (i == n) return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    const FoldedText x(a.substr(i));
    const FoldedText y(b.substr(i));
    return compareFolded(x.view(), y.view());
}

std::optional<std::pair<std::string, std::string>> PrefixBounds(std::string_view prefix) {
    // Every word that begins with the prefix (folded) has the folded prefix's base letters at its start. The
    // folded prefix is the lowest such word; the base letters with the last one raised by one are above all of
    // them, provided those letters are their own base letters as a text of their own.
    std::string lower;
    std::u32string bases;
    for (size_t i = 0; i < prefix.size();) {
        const char32_t c = FoldCase(DecodeUtf8(prefix, i));
        if (c >= 0xD800 && c <= 0xDFFF) return std::nullopt;
        AppendUtf8(lower, c);
        for (char32_t b : baseLetters(c)) bases += b;
    }
    if (bases.empty()) return std::nullopt;
    bases.back() += 1;
    const char32_t last = bases.back();
    if ((last >= 0xD800 && last <= 0xDFFF) || last > 0x10FFFF) return std::nullopt;
    std::string upper;
    for (char32_t c : bases) {
        if (FoldCase(c) != c || baseLetters(c) != std::u32string_view(&c, 1)) return std::nullopt;
        AppendUtf8(upper, c);
    }
    return std::make_pair(std::move(lower), std::move(upper));
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}


}  // namespace lexivo
