#pragma once

// Word games beyond the letter-key searches: the words that a rack of tiles can lay, blank tiles included, and
// the phrases of one or more words that spell exactly the letters of an input. Both count letters only (a
// word's apostrophes, hyphens, blanks and digits need no tile) and ignore letter case. They work on every word
// of the database held in memory, each word's letters counted once when the words are read, not at every search.

#include <QString>

#include "search/word_index.h"

namespace lexivo {

class Connection;
class RunControl;
class WordSink;

// The rack and phrase searches on db's words, as ListRackWords and ListPhrases below, each on just the words it
// can use, read for it from db; with maxLevel, on the words whose level is at most that; with ignoreAccents,
// letters compared by their base letters in the input and the words. Throws Error.
qint64 SearchRack(Connection& db, const QString& tiles, int minLetters, int maxLetters, RunControl& run, WordSink& sink,
                  std::optional<int> maxLevel = std::nullopt, bool ignoreAccents = false);
qint64 SearchPhrase(Connection& db, const QString& text, int maxWords, int minLetters, int maxLetters, RunControl& run,
                    WordSink& sink, std::optional<int> maxLevel = std::nullopt, bool ignoreAccents = false);

// Both read their input as the snapshot counts letters: by their base letters when it does (accents ignored:
// é = e, ñ = n, ß = ss, in the input and the words; the results are the words as stored, in the word order).
//
// Lists the words that can be laid from tiles: every letter of tiles is a tile of that letter (case folded), a
// "?" is a blank tile that stands for any one letter, other characters are passed over. A word can be laid when
// each of its letters gets a tile of its own. Only words whose letter count lies between minLetters and
// maxLetters (0: from 1 letter up to the number of tiles). Longest first, then in the word order. Returns the
// number listed.
qint64 ListRackWords(const WordSnapshot& words, const QString& tiles, int minLetters, int maxLetters, RunControl& run,
                     WordSink& sink);

// Lists every way to spell exactly the letters of text (case folded, other characters passed over) with 1 to
// maxWords words, each of minLetters to maxLetters letters (0: no limit); a word may come twice. Each set of
// words once, as one entry: its words separated by a blank, longest first, then in the word order. Entries of
// fewer words come first; entries of as many words in the order of their first word, then of their second, and
// so on, each in the word order. Entries are listed as they are found. Returns the number listed.
qint64 ListPhrases(const WordSnapshot& words, const QString& text, int maxWords, int minLetters, int maxLetters,
                   RunControl& run, WordSink& sink);

// The most words a phrase may be made of (the window asks for 3).
constexpr int kMaxPhraseWords = 8;

}  // namespace lexivo
