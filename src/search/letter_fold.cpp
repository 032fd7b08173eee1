#include "search/letter_fold.h"

#include <QString>

#include "search/word_index.h"
#include "store/collation.h"

namespace lexivo {

void AppendFoldedCharacter(char32_t c, bool ignoreAccents, std::u32string& out) {
    // Letters of ASCII have no accent to leave out: the common case without a table look-up.
    if (c < 0x80) {
        out += (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return;
    }
    const char32_t folded = FoldCase(c);
    if (ignoreAccents)
        AppendBaseLetters(folded, out);
    else
        out += folded;
}

void AppendGameLetters(char32_t c, bool ignoreAccents, std::u32string& out) {
    if (IsGameLetter(c)) AppendFoldedCharacter(c, ignoreAccents, out);
}

void FoldText(QStringView text, bool ignoreAccents, std::u32string& out) {
    out.clear();
    for (qsizetype i = 0; i < text.size();) {
        char32_t c = text[i++].unicode();
        if (QChar::isHighSurrogate(c) && i < text.size() && text[i].isLowSurrogate())
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), text[i++].unicode());
        AppendFoldedCharacter(c, ignoreAccents, out);
    }
}

void FoldUtf8(QByteArrayView text, bool ignoreAccents, std::u32string& out) {
    out.clear();
    const std::string_view bytes(text.data(), static_cast<size_t>(text.size()));
    for (size_t i = 0; i < bytes.size();) AppendFoldedCharacter(DecodeUtf8(bytes, i), ignoreAccents, out);
}

std::u32string FoldedText(QStringView text, bool ignoreAccents) {
    std::u32string out;
    FoldText(text, ignoreAccents, out);
    return out;
}

QString FromFolded(std::u32string_view text) {
    return QString::fromUcs4(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace lexivo
