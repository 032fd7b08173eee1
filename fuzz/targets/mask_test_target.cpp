// The fixed mask's row test against the rule it follows, written out plainly: the word case folded (Unicode simple
// case folding of each character, so that its length stays); each "@"
// wants a vowel and each "#" a consonant at its position, or, after the first "*", at its position counted from
// the end of the word; a position outside the word fails. Also: a mask without "@" and "#" accepts every word.

#include <QChar>
#include <QList>
#include <QString>

#include "search/search_query.h"
#include "targets/fuzz_targets.h"

namespace lexivo::fuzz {

namespace {

bool reference(const QString& mask, const QString& word) {
    const QList<uint> m = mask.toUcs4();
    QList<uint> w = word.toUcs4();
    for (uint& c : w) c = QChar::toCaseFolded(c);
    const auto maskLength = static_cast<int>(m.size());
    const auto wordLength = static_cast<int>(w.size());
    int star = 0;
    for (int i = 1; i <= maskLength && star == 0; ++i)
        if (m[i - 1] == '*') star = i;
    const auto test = [&](uint placeholder, const char* set) {
        for (int i = 1; i <= maskLength; ++i) {
            if (m[i - 1] != placeholder) continue;
            const int p = (star > 0 && i >= star) ? i + wordLength - maskLength : i;
            if (p < 1 || p > wordLength) return false;
            const uint c = w[p - 1];
            bool inSet = false;
            for (const char* s = set; *s; ++s) inSet = inSet || c == static_cast<uint>(*s);
            if (!inSet) return false;
        }
        return true;
    };
    const bool vowels = test('@', "aeiou");
    const bool consonants = test('#', "bcdfghjklmnpqrstvwxyz");
    return vowels && consonants;
}

}  // namespace

int MaskTestTarget(const std::uint8_t* data, std::size_t size) {
    if (size > 2048) return 0;
    const TwoParts parts = Split(data, size);
    const QString mask = QString::fromUtf8(parts.first.data(), static_cast<qsizetype>(parts.first.size()));
    const QString word = QString::fromUtf8(parts.second.data(), static_cast<qsizetype>(parts.second.size()));
    const MaskTest test(mask);
    const bool accepted = test.accepts(word);
    FUZZ_CHECK(accepted == reference(mask, word), "the mask's row test differs from its rule");
    if (!mask.contains(QLatin1Char('@')) && !mask.contains(QLatin1Char('#')))
        FUZZ_CHECK(!test.hasPlaceholders() && accepted, "a mask without placeholders refused a word");
    // The pattern the database matches keeps every position of the mask.
    FUZZ_CHECK(MaskPattern(mask).size() == mask.size(), "the widened pattern moved a position");
    return 0;
}

}  // namespace lexivo::fuzz
