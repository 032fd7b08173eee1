#pragma once

// The commands and options of lexivo-cli that draw on the word lists and dictionaries beside the word
// database: levels (SCOWL), define (WordNet), and the tile scores of the searches.

#include <optional>

#include "cli/arguments.h"
#include "search/tile_scores.h"

namespace lexivo {
class Connection;
}

namespace lexivo::cli {

class Terminal;
class TerminalDialogs;
class TerminalRun;

// define WORD: the meanings on standard output. Returns the exit status.
int DefineWord(const Invocation& inv, Terminal& terminal, TerminalDialogs& dialogs);
// levels [FOLDER] on the loaded database. Returns the exit status.
int StoreLevels(Connection& db, const Invocation& inv, Terminal& terminal, TerminalDialogs& dialogs,
                TerminalRun& run);
// The tile values a search scores with (--tiles, else the user's file, else English); nothing after a failure,
// which has been reported.
std::optional<TileValues> SearchTileValues(const Invocation& inv, TerminalDialogs& dialogs);
ScoreOptions ScoreOptionsOf(const Invocation& inv);

}  // namespace lexivo::cli
