#include "wordlists/word_filter.h"

#include <QStringView>

namespace lexivo {

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Characters are code points: a surrogate pair counts once.
qsizetype CodePointCount(QStringView text) {
    qsizetype count = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --count;
            ++i;
        }
    }
    return count;
}

// The code point starting at position i of text, as a view of one or two UTF-16 units.
QStringView CodePointAt(QStringView text, qsizetype i) {
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return text.mid(i, pair ? 2 : 1);
}

}  // namespace

double LeadingNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (i < size && (text[i] == u' ' || text[i] == u'\t')) ++i;

    const qsizetype start = i;
    if (i < size && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < size && IsAsciiDigit(text[i])) {
        ++i;
        ++digits;
    }
    qsizetype end = i;
    if (i < size && text[i] == u'.') {
        ++i;
        while (i < size && IsAsciiDigit(text[i])) {
            ++i;
            ++digits;
        }
        // "5." reads as 5: only keep the point when digits follow it.
        if (i > end + 1) end = i;
    }
    if (digits == 0) return 0;

    // The matched text is a plain decimal; QStringView::toDouble reads it independently of the locale and rounds
    // correctly. A text of hundreds of digits overflows to infinity, which is still the sensible limit.
    return QStringView(text).mid(start, end - start).toDouble();
}

bool WordFilter::apply(QString& word) const {
    bool include = true;
    if (minimumOn || maximumOn) {
        const auto length = static_cast<double>(CodePointCount(word));
        if (minimumOn && minimum > length) include = false;
        if (maximumOn && maximum < length) include = false;
    }
    // The removal happens also for an excluded word: the import still looks it up as a duplicate.
    return applyCharacters(word) && include;
}

bool WordFilter::applyCharacters(QString& word) const {
    bool include = true;
    if (ignoreOn) {
        const QStringView characters(ignore);
        for (qsizetype i = 0; i < characters.size();) {
            const QStringView character = CodePointAt(characters, i);
            if (word.contains(character)) {
                include = false;
                break;
            }
            i += character.size();
        }
    }
    if (removeOn) {
        const QStringView characters(remove);
        for (qsizetype i = 0; i < characters.size();) {
            const QStringView character = CodePointAt(characters, i);
            const qsizetype found = word.indexOf(character);
            if (found >= 0) word.remove(found, character.size());
            i += character.size();
        }
    }
    return include;
}

}  // namespace lexivo
