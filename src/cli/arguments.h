#pragma once

// The command line of lexivo-cli: which command, its operand and its options.

#include <QString>
#include <QStringList>
#include <optional>

#include "search/search_modes.h"
#include "wordlists/word_filter.h"

namespace lexivo::cli {

enum class Command {
    None,
    New,
    Import,
    Export,
    Search,  // a command of the table of search modes (search_modes.h), Add and Delete among them
    Check,
    Rebuild,
    Compact,
    Stats,
    Keys,
    Levels,
    Define,
};

struct Invocation {
    Command command = Command::None;
    std::optional<SearchMode> mode;  // the mode of Command::Search
    QString commandName;
    bool help = false;     // --help: the usage of the command (or of the program) and nothing else
    bool version = false;  // --version: the program's version and nothing else
    QString database;      // --db; empty: the database the window last had open
    QString operand;       // TEXT, WORD, LIST or FILE
    bool append = false;
    bool force = false;
    bool quick = false;
    bool sortByLength = false;
    // The length limits of a search, inclusive; either may be given alone.
    std::optional<int> minimumLength;
    std::optional<int> maximumLength;
    bool ignoreAccents = false;      // --ignore-accents
    bool rankByInformation = false;  // --rank info
    // The most words of a phrase.
    int words = 3;
    // The word filter of the import and the export.
    WordFilter filter;
    // Only words of at most this level; scores beside the words, the score order, the lowest score; the file of
    // tile values (empty: the user's file where there is one, else the English values).
    std::optional<int> maxLevel;
    bool showScore = false;
    bool sortByScore = false;
    std::optional<int> minScore;
    QString tiles;
    // levels: the spelling of SCOWL's lists; define: the part of speech (n, v, a or r), empty for all.
    QString spelling = QStringLiteral("american");
    QString partOfSpeech;

    // The commands that walk many words and can stop after any of them: every search that lists words.
    bool hasLongRun() const {
        if (command == Command::Search) return mode && SearchModeRowOf(*mode).listsWords;
        return command == Command::Import || command == Command::Export || command == Command::Check ||
               command == Command::Rebuild || command == Command::Levels;
    }
};

struct Parsed {
    Invocation invocation;
    QString error;  // a usage error; empty when the command line is sound
    bool ok() const { return error.isEmpty(); }
};

// args without the program name.
Parsed ParseArguments(const QStringList& args);

}  // namespace lexivo::cli
