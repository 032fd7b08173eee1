#pragma once

// The window's use of the word lists and dictionaries beside the word database: File > "Word Levels" (SCOWL),
// the Options menu's "Common words only" and "Sort by score", a result's tool tip (its first glosses, its level
// and its score) and the pop-up menu's "Meaning…" window (WordNet).

#include <QString>
#include <memory>
#include <optional>

#include "search/search_query.h"
#include "search/tile_scores.h"

namespace lexivo {

class Frm_Main;

// Adds the commands to the window's menus and the tool tips to its results. Once per window.
void InstallLexiconCommands(Frm_Main& window);

// The level limit "Common words only" sets (35, 50 or 70), none when it is off.
std::optional<int> CommonWordsLevel(const Frm_Main& window);

// For a Rack search with "Sort by score": a sink in front of out that holds the words and passes them on by
// their best laying from the rack. Null otherwise, and after a failure to read the tile values (reported).
std::unique_ptr<ScoringSink> ScoreOrder(Frm_Main& window, const SearchRequest& request, WordSink& out);

// The tool tip of a result: its first two glosses, its level and its score.
QString ResultToolTip(Frm_Main& window, const QString& word);
// Opens the "Meaning…" window of word with every sense.
void ShowMeaning(Frm_Main& window, const QString& word);

}  // namespace lexivo
