#pragma once

// The one form in which the letter searches beyond the stored keys (Wordle, the pattern language, and every
// letter search while accents are ignored) compare a word's characters: case folded as the word order folds
// them and, with accents ignored, each written as its base letters in the word order (é = e, ñ = n, ß = ss).

#include <QByteArrayView>
#include <QStringView>
#include <string>

namespace lexivo {

// Appends the form of one character to out.
void AppendFoldedCharacter(char32_t c, bool ignoreAccents, std::u32string& out);

// Appends the letters that the word games (rack and phrase) count of one character: none for a character that
// is not a letter, else its form as above (with accents ignored é gives e, ß gives ss).
void AppendGameLetters(char32_t c, bool ignoreAccents, std::u32string& out);

// The form of a whole text, replacing what out held.
void FoldText(QStringView text, bool ignoreAccents, std::u32string& out);
std::u32string FoldedText(QStringView text, bool ignoreAccents);
// The same of a text in UTF-8 (a word as the words in memory keep it).
void FoldUtf8(QByteArrayView text, bool ignoreAccents, std::u32string& out);

// The characters of a folded text back as a QString (for messages and the expression engine).
QString FromFolded(std::u32string_view text);

}  // namespace lexivo
