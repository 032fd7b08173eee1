#include "search/word_lookup.h"

#include <algorithm>

#include "store/collation.h"

namespace lexivo {

namespace {

quint64 mix(quint64 x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The hash of a multiset of characters: the same in any order.
quint64 multisetHash(std::u32string_view folded) {
    quint64 h = 0;
    for (const char32_t c : folded) h += mix(c);
    return h;
}

// The hash of the distinct characters but "*" of a folded text; sorts and thins out the text it is given.
quint64 setHash(std::u32string& folded) {
    std::sort(folded.begin(), folded.end());
    folded.erase(std::unique(folded.begin(), folded.end()), folded.end());
    std::erase(folded, U'*');
    return multisetHash(folded);
}

quint32 high(quint64 h) {
    return static_cast<quint32>(h >> 32);
}

}  // namespace

void FoldedCodePoints(QByteArrayView utf8, std::u32string& out) {
    out.clear();
    const std::string_view text(utf8.data(), static_cast<size_t>(utf8.size()));
    for (size_t i = 0; i < text.size();) out.push_back(FoldCase(DecodeUtf8(text, i)));
}

quint64 WordLookup::sequenceHash(std::u32string_view folded) {
    quint64 h = 0xCBF29CE484222325ull;
    for (const char32_t c : folded) h = (h ^ c) * 0x100000001B3ull;
    return mix(h);
}

bool WordLookup::stops(size_t done, const std::function<bool()>& keepGoing) const {
    if ((done & 0xFFFF) == 0 && keepGoing && !keepGoing()) stopped_ = true;
    return stopped_;
}

WordLookup::WordLookup(const WordSnapshot& words, const std::function<bool()>& keepGoing) : words_(words) {
    const auto n = static_cast<size_t>(words.size());
    equal_.reserve(n);
    std::u32string folded;
    for (size_t i = 0; i < n; ++i) {
        if (stops(i, keepGoing)) return;
        const auto index = static_cast<qsizetype>(i);
        const QByteArrayView bytes = words.bytes(index);
        quint64 equal;
        if (words.isAscii(index)) {
            // ASCII: the folded characters are the bytes with A-Z lowered.
            quint64 h = 0xCBF29CE484222325ull;
            for (const char b : bytes)
                h = (h ^ static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b)) * 0x100000001B3ull;
            equal = mix(h);
        } else {
            FoldedCodePoints(bytes, folded);
            equal = sequenceHash(folded);
        }
        equal_.push_back((equal & 0xFFFFFFFF00000000ull) | i);
    }
    sortByHash(equal_, keepGoing);
    stops(0, keepGoing);
}

void WordLookup::makeKeys(const std::function<bool()>& keepGoing) const {
    std::call_once(keysMade_, [this, &keepGoing] {
        const auto n = static_cast<size_t>(words_.size());
        sorted_.reserve(n);
        letters_.reserve(n);
        std::u32string folded;
        for (size_t i = 0; i < n; ++i) {
            if (stops(i, keepGoing)) return;
            const auto index = static_cast<qsizetype>(i);
            const QByteArrayView bytes = words_.bytes(index);
            quint64 sorted, letters;
            if (words_.isAscii(index)) {
                // ASCII: the folded characters are the bytes with A-Z lowered; their set is a mask of 128 bits.
                quint64 seen[2] = {0, 0};
                sorted = 0;
                for (const char b : bytes) {
                    const auto c = static_cast<unsigned char>(b >= 'A' && b <= 'Z' ? b + 32 : b);
                    sorted += mix(c);
                    if (c != '*') seen[c >> 6] |= quint64{1} << (c & 63);
                }
                letters = 0;
                for (int half = 0; half < 2; ++half)
                    for (quint64 bits = seen[half]; bits; bits &= bits - 1)
                        letters += mix(static_cast<char32_t>(half * 64 + __builtin_ctzll(bits)));
            } else {
                FoldedCodePoints(bytes, folded);
                sorted = multisetHash(folded);
                letters = setHash(folded);
            }
            sorted_.push_back((sorted & 0xFFFFFFFF00000000ull) | i);
            letters_.push_back((letters & 0xFFFFFFFF00000000ull) | i);
        }
        sortByHash(sorted_, keepGoing);
        sortByHash(letters_, keepGoing);
        stops(0, keepGoing);
    });
}

void WordLookup::sortByHash(std::vector<quint64>& keyed, const std::function<bool()>& keepGoing) {
    // Stable passes of 11 bits on the hash: the indexes of one hash stay in their order, and each pass writes to
    // few enough places at once to stay in the caches. keepGoing is asked before each pass: once it answers false
    // the order is left unfinished.
    std::vector<quint64> other(keyed.size());
    for (const int shift : {32, 43, 54}) {
        if (keepGoing && !keepGoing()) return;
        std::vector<size_t> start(2049, 0);
        for (const quint64 k : keyed) ++start[((k >> shift) & 0x7FF) + 1];
        for (size_t b = 1; b < start.size(); ++b) start[b] += start[b - 1];
        for (const quint64 k : keyed) other[start[(k >> shift) & 0x7FF]++] = k;
        keyed.swap(other);
    }
}

void WordLookup::makeReversals(const std::function<bool()>& keepGoing) const {
    std::vector<qsizetype> all(static_cast<size_t>(words_.size()));
    for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<qsizetype>(i);
    const std::vector<qsizetype> found = withReversalStored(all, keepGoing);
    if (stopped_) return;
    std::vector<bool> stored(all.size(), false);
    for (const qsizetype index : found) stored[static_cast<size_t>(index)] = true;
    reversalStored_ = std::move(stored);
}

std::vector<qsizetype> WordLookup::withReversalStored(const std::vector<qsizetype>& indexes,
                                                      const std::function<bool()>& keepGoing) const {
    // The hashes of the reversals, sorted, are merged with those of the words: no look-up at random for each word.
    std::vector<quint64> reversals;
    reversals.reserve(indexes.size());
    std::u32string reversed;
    for (const qsizetype index : indexes) {
        if (stops(reversals.size(), keepGoing)) return {};
        const QByteArrayView bytes = words_.bytes(index);
        quint64 h = 0xCBF29CE484222325ull;
        if (words_.isAscii(index)) {
            for (qsizetype k = bytes.size(); k-- > 0;) {
                const char c = bytes[k];
                h = (h ^ static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c)) * 0x100000001B3ull;
            }
            h = mix(h);
        } else {
            FoldedCodePoints(bytes, reversed);
            std::reverse(reversed.begin(), reversed.end());
            h = sequenceHash(reversed);
        }
        reversals.push_back((h & 0xFFFFFFFF00000000ull) | static_cast<quint64>(index));
    }
    sortByHash(reversals, keepGoing);
    if (stops(0, keepGoing)) return {};
    std::vector<qsizetype> found;
    auto word = equal_.begin();
    for (auto at = reversals.begin(); at != reversals.end();) {
        const quint32 hash = high(*at);
        while (word != equal_.end() && high(*word) < hash) ++word;
        auto last = at;
        while (last != reversals.end() && high(*last) == hash) ++last;
        if (word == equal_.end() || high(*word) != hash) {
            at = last;
            continue;
        }
        for (auto r = at; r != last; ++r) {
            const auto index = static_cast<qsizetype>(*r & 0xFFFFFFFF);
            FoldedCodePoints(words_.bytes(index), reversed);
            std::reverse(reversed.begin(), reversed.end());
            for (auto w = word; w != equal_.end() && high(*w) == hash; ++w) {
                if (equalsWord(static_cast<qsizetype>(*w & 0xFFFFFFFF), reversed)) {
                    found.push_back(index);
                    break;
                }
            }
        }
        at = last;
    }
    return found;
}

std::vector<qsizetype> WordLookup::equalRange(const std::vector<quint64>& keyed, quint32 hash) {
    const quint64 low = quint64{hash} << 32;
    std::vector<qsizetype> found;
    for (auto at = std::lower_bound(keyed.begin(), keyed.end(), low); at != keyed.end() && high(*at) == hash; ++at)
        found.push_back(static_cast<qsizetype>(*at & 0xFFFFFFFF));
    return found;
}

std::vector<qsizetype> WordLookup::withSortedKey(std::u32string key) const {
    makeKeys();
    std::vector<qsizetype> found = equalRange(sorted_, high(multisetHash(key)));
    std::sort(key.begin(), key.end());
    std::u32string word;
    std::erase_if(found, [&](qsizetype index) {
        FoldedCodePoints(words_.bytes(index), word);
        if (word.size() != key.size()) return true;
        std::sort(word.begin(), word.end());
        return word != key;
    });
    return found;
}

std::vector<qsizetype> WordLookup::withLettersKey(std::u32string key) const {
    makeKeys();
    std::vector<qsizetype> found = equalRange(letters_, high(setHash(key)));
    std::u32string word;
    std::erase_if(found, [&](qsizetype index) {
        FoldedCodePoints(words_.bytes(index), word);
        setHash(word);
        return word != key;
    });
    return found;
}

bool WordLookup::equalsWord(qsizetype index, std::u32string_view folded) const {
    const QByteArrayView bytes = words_.bytes(index);
    const std::string_view text(bytes.data(), static_cast<size_t>(bytes.size()));
    size_t k = 0;
    for (size_t i = 0; i < text.size(); ++k)
        if (k == folded.size() || FoldCase(DecodeUtf8(text, i)) != folded[k]) return false;
    return k == folded.size();
}

size_t WordLookup::memoryBytes() const {
    return (sorted_.capacity() + letters_.capacity() + equal_.capacity()) * sizeof(quint64) +
           reversalStored_.capacity() / 8;
}

}  // namespace lexivo
