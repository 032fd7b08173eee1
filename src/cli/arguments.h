#pragma once

// The command line of lexivo-cli: which command, its operand and its options, and the help texts.

#include <QString>
#include <QStringList>
#include <optional>

#include "wordlists/word_filter.h"

namespace lexivo::cli {

enum class Command {
    None,
    New,
    Import,
    Export,
    Anagram,
    Synogram,
    Letters,
    Mask,
    Palindromes,
    Wordle,
    Pattern,
    Rack,
    Phrase,
    Add,
    Delete,
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

    // The commands that walk many words and can stop after any of them.
    bool hasLongRun() const {
        return command == Command::Import || command == Command::Export || command == Command::Anagram ||
               command == Command::Synogram || command == Command::Letters || command == Command::Mask ||
               command == Command::Palindromes || command == Command::Rack || command == Command::Phrase ||
               command == Command::Wordle || command == Command::Pattern || command == Command::Check ||
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

// The usage of the whole program, and of one command (the whole program's for Command::None).
QString ProgramUsage();
QString CommandUsage(Command command);

}  // namespace lexivo::cli
