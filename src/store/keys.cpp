#include "store/keys.h"

#include "store/collation.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace lexivo {

namespace {

std::vector<char32_t> codePoints(const QString& text) {
    std::vector<char32_t> points;
    points.reserve(static_cast<size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            points.push_back(QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            points.push_back(c.unicode());
        }
    }
    return points;
}

QString fromCodePoints(const std::vector<char32_t>& points) {
    return QString::fromUcs4(points.data(), static_cast<qsizetype>(points.size()));
}

bool allBmp(const QString& text) {
    for (QChar c : text)
        if (c.isSurrogate()) return false;
    return true;
}

}  // namespace

QString SortString(const QString& text) {
    // Words are short and almost always free of surrogates: fold and sort the UTF-16 units in place then.
    QString sorted = text;
    bool bmp = true;
    for (QChar& c : sorted) {
        const char32_t folded = c.isSurrogate() ? 0x10000 : FoldCase(c.unicode());
        if (folded > 0xFFFF) {
            bmp = false;
            break;
        }
        c = QChar(static_cast<char16_t>(folded));
    }
    if (bmp) {
        std::sort(sorted.begin(), sorted.end(), [](QChar a, QChar b) { return a.unicode() > b.unicode(); });
        return sorted;
    }
    auto points = codePoints(text);
    for (char32_t& c : points) c = FoldCase(c);
    std::sort(points.begin(), points.end(), std::greater<>());
    return fromCodePoints(points);
}


QString UniqueChars(const QString& text) {
    if (allBmp(text)) {
        QString out;
        out.reserve(text.size());
        for (QChar c : text)
            if (c != QLatin1Char('*') && !out.contains(c)) out.append(c);
        return out;
    }
    std::vector<char32_t> out;
    for (char32_t c : codePoints(text))
        if (c != U'*' && std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
    return fromCodePoints(out);
}

WordKeys KeysOf(const QString& word) {
    WordKeys keys;
    keys.sorted = SortString(word);
    keys.letters = UniqueChars(keys.sorted);
    return keys;
}

int CharacterCount(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ++i;
        ++count;
    }
    return count;
}

QString ControlCharacterProblem(const QString& text) {
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            return QStringLiteral(
                       "A word cannot hold control characters such as line breaks or tabs (this text "
                       "holds U+%1), so it cannot be added.")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    }
    return {};
}

}  // namespace lexivo
