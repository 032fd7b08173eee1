#pragma once

// The searches that put a test of their own to each word: Wordle, the pattern language, and the letter searches
// (anagram, synogram, letters in a word, mask) while accents are ignored. They take the typed request, report
// through the run control and list into the results sink like every other mode, in the word order (or by
// length, then in the word order), and compare words in the folded form of letter_fold.h.

#include <QString>

#include "search/search_query.h"

namespace lexivo {

class Connection;
class RunControl;
class WordSink;
class WordSnapshot;

// Whether the request runs here.
bool IsScanSearch(const SearchRequest& request);

// What is wrong with the request's input, with where it is, so that the user can mend it; empty when it can run.
QString InputProblem(const SearchRequest& request);

// Runs the request on the rows of its query (QueryText). Throws Error for input that InputProblem rejects, and
// when an expression needs more work than any word may take.
qint64 RunScanSearch(Connection& db, const SearchRequest& request, RunControl& run, WordSink& sink);
// The same on the words in memory (the search session's word index).
qint64 ScanWords(const WordSnapshot& words, const SearchRequest& request, RunControl& run, WordSink& sink);

}  // namespace lexivo
