#pragma once

// The listing searches of the database (anagram, synogram, letters in a word, mask, palindromes) run on the
// words in memory: the same rows in the same order, with the same progress, stop and results as the query the
// database runs for them (search_run.h), found by the look-ups of word_lookup.h and by scans of the words.

#include "search/search_query.h"

namespace lexivo {

class RunControl;
class WordSink;
class WordSnapshot;

// Whether the request is one of those modes and the words in memory answer it exactly as the database would.
bool IndexListsRequest(const WordSnapshot& words, const SearchRequest& request);

// Runs it (IndexListsRequest) and returns the number of words listed.
qint64 ListFromIndex(const WordSnapshot& words, const SearchRequest& request, RunControl& run, WordSink& sink);

}  // namespace lexivo
