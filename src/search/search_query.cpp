#include "search/search_query.h"

#include <algorithm>

#include "store/collation.h"
#include "store/engine.h"
#include "store/keys.h"

namespace lexivo {

namespace {

// A length clause joins a mode's own condition with AND (or starts the WHERE of the palindrome scan).
QString joined(const QString& prefix, const QString& lengthClause) {
    return lengthClause.isEmpty() ? QString() : prefix + lengthClause;
}

const QString kAnd = QStringLiteral(" AND ");

bool isVowel(char32_t c) {
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u';
}

bool isConsonant(char32_t c) {
    return c >= U'a' && c <= U'z' && !isVowel(c);
}

}  // namespace

QString FoundMessage(qint64 count) {
    return QStringLiteral("Found %1 word(s).").arg(count);
}

QString InputSortedKey(const QString& input) {
    return SortString(input);
}

QString InputLettersKey(const QString& input) {
    return UniqueChars(InputSortedKey(input));
}

QString LettersPattern(const QString& lettersKey) {
    QString pattern;
    pattern.reserve(lettersKey.size() * 2 + 1);
    for (qsizetype i = 0; i < lettersKey.size(); ++i) {
        pattern += QLatin1Char('*');
        pattern += lettersKey.at(i);
        // A character outside the basic plane is two units; the "*" goes before the pair, not inside it.
        if (lettersKey.at(i).isHighSurrogate() && i + 1 < lettersKey.size() && lettersKey.at(i + 1).isLowSurrogate())
            pattern += lettersKey.at(++i);
    }
    pattern += QLatin1Char('*');
    return pattern;
}

QString MaskPattern(const QString& mask) {
    QString pattern = mask;
    pattern.replace(QLatin1Char('@'), QLatin1Char('?'));
    pattern.replace(QLatin1Char('#'), QLatin1Char('?'));
    return pattern;
}

QString MaskIndexRange(const QString& mask) {
    // The characters before the first wildcard start every word the pattern finds (each one folded); the word
    // order gives the range of the Word index that holds all words with that start.
    QString start;
    for (QChar c : mask) {
        if (c == u'?' || c == u'*' || c == u'@' || c == u'#') break;
        start += c;
    }
    if (start.isEmpty()) return {};
    const auto bounds = PrefixBounds(start.toStdString());
    if (!bounds) return {};
    return QStringLiteral("[Word]>='") + EscapeQuotes(QString::fromStdString(bounds->first)) +
           QStringLiteral("' AND [Word]<'") + EscapeQuotes(QString::fromStdString(bounds->second)) + QLatin1Char('\'');
}

namespace {

// The query pieces all modes share.
QString lengthClauseOf(const SearchRequest& request) {
    // The level limit goes with the length limits: every mode that has those has this.
    const QString level = request.maxLevel ? QStringLiteral("[Level]<=") + QString::number(*request.maxLevel) : QString();
    if (!request.minimumLength && !request.maximumLength) return level;
    const int minimum = request.minimumLength.value_or(0);
    const int maximum = request.maximumLength.value_or(std::max(minimum, kMaxFieldLength));
    return QStringLiteral("LEN([Word]) BETWEEN ") + QString::number(minimum) + kAnd + QString::number(maximum) +
           joined(kAnd, level);
}

QString orderClauseOf(bool sortByLength) {
    // Words equal in the word order (equal but for letter case) come in the order of the Word index; the listing
    // puts each run of them in the order of their code points (ListQueryResults).
    return sortByLength ? QStringLiteral(" ORDER BY LEN([Word]),[Word]") : QStringLiteral(" ORDER BY [Word]");
}

// The key fields, or the keys made from each word where the stored ones may be of an older kind. A made key
// compares as plain text: its characters are folded already.
QString sortedField(bool keysStored) {
    return keysStored ? QStringLiteral("[Sorted]") : QStringLiteral("SortString([Word])");
}

QString lettersField(bool keysStored) {
    return keysStored ? QStringLiteral("[Letters]") : QStringLiteral("UniqueChars(SortString([Word]))");
}

QString AnagramQuery(const QString& input, const QString& lengthClause, const QString& orderClause, bool keysStored) {
    const QString key = InputSortedKey(input);
    const QString sorted = sortedField(keysStored);
    return QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE ") + sorted + QStringLiteral("='") +
           EscapeQuotes(key) + QLatin1Char('\'') + joined(kAnd, lengthClause) + QStringLiteral(" AND LEN(") + sorted +
           QStringLiteral(")=") + QString::number(CharacterCount(key)) + orderClause;
}

QString SynogramQuery(const QString& input, const QString& lengthClause, const QString& orderClause, bool keysStored) {
    return QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE ") + lettersField(keysStored) +
           QStringLiteral("='") + EscapeQuotes(InputLettersKey(input)) + QLatin1Char('\'') +
           joined(kAnd, lengthClause) + orderClause;
}

QString LettersQuery(const QString& input, const QString& lengthClause, const QString& orderClause, bool keysStored) {
    return QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE ") + lettersField(keysStored) +
           QStringLiteral(" LIKE '") + EscapeQuotes(LettersPattern(InputLettersKey(input))) + QLatin1Char('\'') +
           joined(kAnd, lengthClause) + orderClause;
}

// The mask's pattern match on the range of the Word index that can hold its words: the rows and the order of
// the plain pattern match, found on the index instead of by putting the pattern to every word (the database
// cannot look into the engine's own pattern match).
QString MaskQuery(const QString& mask, const QString& lengthClause, const QString& orderClause, bool indexRange) {
    return QStringLiteral("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '") + EscapeQuotes(MaskPattern(mask)) +
           QStringLiteral("' ") + joined(kAnd, indexRange ? MaskIndexRange(mask) : QString()) +
           joined(kAnd, lengthClause) + orderClause;
}

QString PalindromeQuery(const QString& lengthClause, const QString& orderClause) {
    return QStringLiteral("SELECT [Word] FROM Dictionary") + joined(QStringLiteral(" WHERE "), lengthClause) +
           orderClause;
}

QString FindWordQuery(const QString& word, const QString& orderClause) {
    return QStringLiteral("SELECT * FROM [Dictionary] WHERE [Word]='") + EscapeQuotes(word) + QLatin1Char('\'') +
           orderClause;
}

}  // namespace

QString QueryText(const SearchRequest& request, bool wordIndexInOwnOrder, bool keysStored) {
    if (!request.mode) return {};
    const QString length = lengthClauseOf(request);
    const QString order = orderClauseOf(request.sortByLength);
    // Letters compared without their accents, Wordle and patterns put a test of their own to every word of the
    // lengths they can match (scan_search.h).
    const SearchModeRow& row = SearchModeRowOf(*request.mode);
    // The word games search the words in memory, not by a query.
    if (row.inputIsRack || row.phraseWords) return {};
    const bool accentsIgnored = request.ignoreAccents && row.comparesLetters;
    if (accentsIgnored || *request.mode == SearchMode::Wordle || *request.mode == SearchMode::Pattern)
        return PalindromeQuery(length, order);
    switch (*request.mode) {
        case SearchMode::Anagram:
            return AnagramQuery(request.input, length, order, keysStored);
        case SearchMode::Synogram:
            return SynogramQuery(request.input, length, order, keysStored);
        case SearchMode::Palindrome:
            return PalindromeQuery(length, order);
        case SearchMode::Mask:
            return MaskQuery(request.input, length, order, wordIndexInOwnOrder);
        case SearchMode::Add:
        case SearchMode::Delete:
            // The look-up of one word has no length condition.
            return FindWordQuery(request.input, orderClauseOf(request.sortByLength));
        case SearchMode::Letters:
            return LettersQuery(request.input, length, order, keysStored);
        case SearchMode::Rack:
        case SearchMode::Phrase:
        case SearchMode::Wordle:
        case SearchMode::Pattern:
            // The word games search the words in memory, not by a query.
            return {};
    }
    return {};
}

QString ScanQueryText(const SearchRequest& request) {
    return PalindromeQuery(lengthClauseOf(request), QString());
}

// ---- MaskTest ----

MaskTest::MaskTest(const QString& mask) {
    const QList<uint> points = mask.toUcs4();
    maskLength_ = static_cast<int>(points.size());
    for (int i = 1; i <= maskLength_; ++i) {
        const auto c = static_cast<char32_t>(points[i - 1]);
        if (c == U'@') vowels_.push_back(i);
        if (c == U'#') consonants_.push_back(i);
        if (c == U'*' && starPosition_ == 0) starPosition_ = i;
    }
}

bool MaskTest::accepts(const QString& word) const {
    if (!hasPlaceholders()) return true;
    // Most words are plain ASCII: look at them in place, folding only the letters looked at. Any other word is
    // taken apart into code points first, each folded by the collation's FoldCase.
    bool ascii = true;
    for (QChar c : word) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    QList<uint> points;
    if (!ascii) {
        points = word.toUcs4();
        for (uint& c : points) c = FoldCase(c);
    }
    const auto length = static_cast<int>(ascii ? word.size() : points.size());
    auto at = [&](int p) -> char32_t {
        if (!ascii) return static_cast<char32_t>(points[p - 1]);
        const char16_t c = word.at(p - 1).unicode();
        return (c >= u'A' && c <= u'Z') ? c + 32 : c;
    };
    // Everything the first "*" matched shifts the placeholders after it, as if every "*" stood before them.
    auto wordPosition = [&](int i) { return starPosition_ > 0 && i >= starPosition_ ? i + length - maskLength_ : i; };
    auto passes = [&](const std::vector<int>& positions, bool (*inSet)(char32_t)) {
        for (int i : positions) {
            const int p = wordPosition(i);
            if (p < 1 || p > length || !inSet(at(p))) return false;
        }
        return true;
    };
    const bool vowelsPass = passes(vowels_, isVowel);
    const bool consonantsPass = passes(consonants_, isConsonant);
    return vowelsPass && consonantsPass;
}

bool MaskTest::acceptsUtf8(QByteArrayView word, bool ascii) const {
    if (!hasPlaceholders()) return true;
    if (!ascii) return accepts(QString::fromUtf8(word));
    const auto length = static_cast<int>(word.size());
    auto passes = [&](const std::vector<int>& positions, bool (*inSet)(char32_t)) {
        for (int i : positions) {
            const int p = starPosition_ > 0 && i >= starPosition_ ? i + length - maskLength_ : i;
            if (p < 1 || p > length) return false;
            const auto c = static_cast<unsigned char>(word[p - 1]);
            if (!inSet(c >= 'A' && c <= 'Z' ? c + 32 : c)) return false;
        }
        return true;
    };
    return passes(vowels_, isVowel) && passes(consonants_, isConsonant);
}

QString ReverseString(const QString& text) {
    QString reversed;
    reversed.reserve(text.size());
    for (qsizetype i = text.size(); i > 0;) {
        --i;
        // A surrogate pair is one character: copy it in its own order.
        if (text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()) {
            reversed += text.at(i - 1);
            reversed += text.at(i);
            --i;
        } else {
            reversed += text.at(i);
        }
    }
    return reversed;
}

}  // namespace lexivo
