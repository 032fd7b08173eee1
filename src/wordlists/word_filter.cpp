#include "wordlists/word_filter.h"

#include <QStringView>

namespace lexivo {

namespace {

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
