#include "cli/command_list.h"

#include <vector>

namespace lexivo::cli {

namespace {

// The commands before the searches in the usage.
const CommandInfo kFileCommands[] = {
    {"new", Command::New, std::nullopt, "FILE", kForce,
     "create an empty word database (an existing file only with --force)",
     "Creates an empty word database at FILE. An existing FILE is refused unless --force is given, which\n"
     "replaces it. The program's settings are not changed."},
    {"import", Command::Import, std::nullopt, "LIST", kAppend | kFilter,
     "fill the database from a word list; REPLACES ALL WORDS unless --append",
     "Fills the database from the word list LIST (one word per line, or words separated by commas; UTF-8 or\n"
     "Windows-1252). ALL WORDS OF THE DATABASE ARE REPLACED unless --append is given, which keeps them and\n"
     "adds the new ones. Words already present, blanks and filtered words are skipped; the completion message\n"
     "counts them. Ctrl-C stops after the current word and keeps every word stored until then."},
    {"export", Command::Export, std::nullopt, "LIST", kAppend | kFilter,
     "write every word of the database to a word list, in word order",
     "Writes every word of the database, in word order, to the word list LIST (UTF-8, CR LF line ends),\n"
     "replacing the file, or after what it holds with --append. A failure leaves the file as it was."},
};

// The commands after the searches.
const CommandInfo kUpkeepCommands[] = {
    {"check", Command::Check, std::nullopt, nullptr, 0, "check the letter keys; fill in the missing ones",
     "Checks that every word carries its letter keys and, where some are missing, re-builds them (a quick\n"
     "re-build). Ctrl-C stops the re-build after the current word."},
    {"rebuild", Command::Rebuild, std::nullopt, nullptr, kQuick,
     "recompute the letter keys of every word (--quick: the missing)",
     "Recomputes the letter keys of every word, or with --quick fills in only the missing ones. Ctrl-C stops\n"
     "after the current word; the keys written until then stay."},
    {"compact", Command::Compact, std::nullopt, nullptr, 0, "compact the database file",
     "Rewrites the database file compactly. Whatever fails, the file remains a whole database."},
    {"stats", Command::Stats, std::nullopt, nullptr, 0, "the number of words in the database",
     "Prints the database's statistics, as the About window shows them."},
    {"keys", Command::Keys, std::nullopt, "TEXT", 0, "the Sorted and Letters keys of TEXT, separated by a tab",
     "Prints the two letter keys a word TEXT is stored with: Sorted (its characters in descending order) and\n"
     "Letters (each of them once), separated by a tab. Needs no database."},
    {"levels", Command::Levels, std::nullopt, nullptr, kSpelling,
     "store how common each word is, from SCOWL's word lists",
     "Gives each word of the database the lowest size level (10 to 95) at which SCOWL's word lists in FOLDER\n"
     "(default /usr/share/dict/scowl, package scowl) hold it, letter case ignored: the lists every spelling\n"
     "shares and those of the chosen spelling, without the variant lists. Words the lists lack get no level.\n"
     "The searches' --max-level N then lists only the words of level N or lower. Ctrl-C stops and leaves the\n"
     "database as it was. Usage: lexivo-cli levels [FOLDER] [--spelling american|british|canadian|australian]"},
    {"define", Command::Define, std::nullopt, "WORD", kPos, "the meanings of WORD in WordNet",
     "Prints the meanings of WORD from WordNet (package wordnet-base, in /usr/share/wordnet or the folder\n"
     "WNSEARCHDIR names): each part of speech with the base form it was found under (ran -> run, verb) and\n"
     "its numbered glosses. Needs no database."},
};

// The options of a search command follow from what its mode is.
unsigned searchOptions(const SearchModeRow& row) {
    // Add and Delete take the word as given and nothing else.
    if (!row.listsWords) return kEmptyOperand;
    unsigned options = kScores;
    if (row.lengths == LengthLimits::Input || row.lengths == LengthLimits::Words) options |= kLength;
    if (row.lengths == LengthLimits::Letters) options |= kLetters;
    if (row.comparesLetters) options |= kAccents;
    if (row.ranks) options |= kRank;
    if (row.phraseWords) options |= kWords;
    if (row.inputRunsOn) options |= kOperands;
    return options;
}

std::vector<CommandInfo> allCommands() {
    std::vector<CommandInfo> commands(std::begin(kFileCommands), std::end(kFileCommands));
    for (const SearchModeRow& row : kSearchModes)
        commands.push_back(
            {row.command, Command::Search, row.mode, row.operand, searchOptions(row), row.summary, row.description});
    commands.insert(commands.end(), std::begin(kUpkeepCommands), std::end(kUpkeepCommands));
    return commands;
}

}  // namespace

std::span<const CommandInfo> Commands() {
    static const std::vector<CommandInfo> commands = allCommands();
    return commands;
}

const CommandInfo* FindCommand(QStringView name) {
    for (const CommandInfo& info : Commands())
        if (name == QLatin1StringView(info.name)) return &info;
    return nullptr;
}

}  // namespace lexivo::cli
