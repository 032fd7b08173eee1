#pragma once

// The word order of the word database, a collation of the program's own (named LEXIVO in the file), in plain
// C++ so that the same code serves the program and the SQLite extension that lets the stock sqlite3 tool use
// the file.
//
// - Two texts are equal when they are equal after Unicode simple case folding (É = é, the Kelvin sign = k,
//   the long s = s), the folding the pattern match uses as well.
// - They are ordered like a dictionary: first by their base letters (folded, accents and other combining marks
//   left out, ligatures and letters such as æ and ß written out), then, between texts with the same base
//   letters, by the code points of the folded texts, so that accents only break ties:
//   cafe < café < cafes < été < zèbre. Capitals never make a difference.
// - It depends on nothing but the tables made from a fixed version of the Unicode data, never on the locale
//   or a library's version. Texts are UTF-8; a byte that is not valid UTF-8 counts as the character of its
//   value, so every text, however damaged, has its place in one consistent order.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace lexivo {

// The collation's name in the file, and the version of the order it gives. The version goes up whenever the
// order changes (new tables, a changed rule): indexes written under another version are then rebuilt.
inline constexpr const char* kCollationName = "LEXIVO";
inline constexpr int kCollationVersion = 1;

// Decodes one code point of UTF-8 at text[i], advancing i; an invalid byte decodes as itself.
char32_t DecodeUtf8(std::string_view text, size_t& i);
// Appends c to out as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Unicode simple case folding of one character.
char32_t FoldCase(char32_t c);

// Appends to out the base letters that the word order gives a case-folded character: é gives e, ß gives ss, æ
// gives ae, a combining mark nothing, any other character itself.
void AppendBaseLetters(char32_t folded, std::u32string& out);

// Negative, zero or positive as a sorts before, with or after b.
int CompareWords(std::string_view a, std::string_view b);

// The texts that enclose every word beginning with prefix, compared without regard to case: each such word w
// has lower <= w < upper in the word order. Nothing when the order offers no such bounds for this prefix.
std::optional<std::pair<std::string, std::string>> PrefixBounds(std::string_view prefix);

// The Unicode version the tables were made from.
const char* CollationUnicodeVersion();

}  // namespace lexivo
