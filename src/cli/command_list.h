#pragma once

// The commands lexivo-cli knows: each one's name, input, the options it takes and its help texts. The searches
// come from the table of search modes (search_modes.h); the file and upkeep commands are listed here.

#include <QStringView>
#include <optional>
#include <span>

#include "cli/arguments.h"

namespace lexivo::cli {

// What a command accepts besides --db and --help.
enum Option : unsigned {
    kAppend = 1U << 0,
    kFilter = 1U << 1,  // --min, --max, --ignore, --remove as the import's and the export's word filter
    kLength = 1U << 2,  // --min, --max, --sort-length as a search's length limits and order
    kForce = 1U << 3,
    kQuick = 1U << 4,
    kLetters = 1U << 5,  // --min, --max as the letters of each word of a rack or a phrase
    kWords = 1U << 6,    // --words
    kScores = 1U << 7,   // --max-level, --score, --sort, --min-score, --tiles
    kSpelling = 1U << 8,
    kPos = 1U << 9,
    kAccents = 1U << 10,       // --ignore-accents
    kRank = 1U << 11,          // --rank
    kOperands = 1U << 12,      // every remaining argument is part of the operand, joined by blanks
    kEmptyOperand = 1U << 13,  // the operand may be empty (the word of add and delete is taken as given)
};

struct CommandInfo {
    const char* name;
    Command command;
    std::optional<SearchMode> mode;  // the mode of Command::Search
    const char* operand;             // nullptr: the command takes none
    unsigned options;
    const char* summary;      // one line for the program's usage
    const char* description;  // the command's own help
};

// Every command, in the order the program's usage lists them.
std::span<const CommandInfo> Commands();
// The command of a name; nullptr for a name no command has.
const CommandInfo* FindCommand(QStringView name);

}  // namespace lexivo::cli
