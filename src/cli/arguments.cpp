#include "cli/arguments.h"

#include <cmath>
#include <iterator>

namespace lexivo::cli {

namespace {

// What a command accepts besides --db and --help.
enum Option : unsigned {
    kAppend = 1U << 0,
    kFilter = 1U << 1,  // --min, --max, --ignore, --remove as the import's and the export's word filter
    kLength = 1U << 2,  // --min, --max, --sort-length as a search's length limits and order
    kForce = 1U << 3,
    kQuick = 1U << 4,
    kLetters = 1U << 5,   // --min, --max as the letters of each word of a rack or a phrase
    kWords = 1U << 6,     // --words
    kScores = 1U << 7,    // --max-level, --score, --sort, --min-score, --tiles
    kSpelling = 1U << 8,
    kPos = 1U << 9,
    kAccents = 1U << 10,  // --ignore-accents
    kRank = 1U << 11,     // --rank
    kOperands = 1U << 12, // every remaining argument is part of the operand, joined by blanks
};

struct CommandInfo {
    const char* name;
    Command command;
    const char* operand;  // nullptr: the command takes none
    unsigned options;
    const char* summary;      // one line for the program's usage
    const char* description;  // the command's own help
};

const CommandInfo kCommands[] = {
    {"new", Command::New, "FILE", kForce, "create an empty word database (an existing file only with --force)",
     "Creates an empty word database at FILE. An existing FILE is refused unless --force is given, which\n"
     "replaces it. The program's settings are not changed."},
    {"import", Command::Import, "LIST", kAppend | kFilter,
     "fill the database from a word list; REPLACES ALL WORDS unless --append",
     "Fills the database from the word list LIST (one word per line, or words separated by commas; UTF-8 or\n"
     "Windows-1252). ALL WORDS OF THE DATABASE ARE REPLACED unless --append is given, which keeps them and\n"
     "adds the new ones. Words already present, blanks and filtered words are skipped; the completion message\n"
     "counts them. Ctrl-C stops after the current word and keeps every word stored until then."},
    {"export", Command::Export, "LIST", kAppend | kFilter,
     "write every word of the database to a word list, in word order",
     "Writes every word of the database, in word order, to the word list LIST (UTF-8, CR LF line ends),\n"
     "replacing the file, or after what it holds with --append. A failure leaves the file as it was."},
    {"anagram", Command::Anagram, "TEXT", kLength | kScores | kAccents, "words made of exactly the letters of TEXT",
     "Lists the words made of exactly the characters of TEXT, each as often as in TEXT."},
    {"synogram", Command::Synogram, "TEXT", kLength | kScores | kAccents,
     "words made of the distinct letters of TEXT, each any number of times",
     "Lists the words made of exactly the distinct characters of TEXT, each used any number of times."},
    {"letters", Command::Letters, "TEXT", kLength | kScores | kAccents, "words that contain every letter of TEXT",
     "Lists the words that contain every character of TEXT at least once, and possibly others."},
    {"mask", Command::Mask, "TEXT", kLength | kScores | kAccents, "words that fit a mask such as c??e, c@@k, c##k, c*",
     "Lists the words that fit the mask TEXT: \"?\" stands for any one character, \"@\" for a vowel (aeiou),\n"
     "\"#\" for a consonant (the other letters a to z), \"*\" for any run of characters; every other\n"
     "character stands for itself, letter case ignored. Quote the mask, so that the shell leaves it alone."},
    {"wordle", Command::Wordle, "GUESS:MARKS...", kScores | kAccents | kRank | kOperands,
     "words that fit Wordle feedback, such as crane:..y.g sloth:..y..",
     "Lists the words that fit every guess: each GUESS:MARKS has one mark per letter, \"g\" or \"2\" green,\n"
     "\"y\" or \"1\" yellow, and \".\", \"-\", \"x\" or \"0\" grey; letters and marks in any case. Guesses are\n"
     "separated by blanks, commas or line breaks. A letter's green and yellow marks say how often the answer\n"
     "holds it at least, and exactly that often when the guess also has a grey mark on it. Only words of letters\n"
     "alone, as long as the guesses, are listed; with --rank info the best next guess comes first.\n"
     "Example: lexivo-cli wordle crane:..y.g sloth:..y.."},
    {"pattern", Command::Pattern, "PATTERN", kLength | kScores | kAccents,
     "words that fit a pattern: c??e, [sz], ??1221, c<ra?e>, (3,5), /regex",
     "Lists the words that fit PATTERN: \"?\", \"@\", \"#\" and \"*\" as in the mask (\"*\" as often as wanted);\n"
     "[abc], [a-f], [^abc] or [!abc] one character of a set or not of it; the digits 1 to 9 letter variables\n"
     "(one digit is one letter, two digits two different letters: ??1221 finds career and grotto); <ra?e> the\n"
     "letters r, a, e and one more in any order; \\ takes the next character as itself; a trailing (3,5) or\n"
     "(5-4) only entries whose parts, split at blanks or underscores (\",\") or hyphens (\"-\"), have those\n"
     "letter counts. A PATTERN that begins with \"/\" is a Perl-style regular expression over the whole word,\n"
     "letter case ignored: '/(.)(.)(.)\\3\\2\\1' finds redder. Quote PATTERN for the shell."},
    {"palindromes", Command::Palindromes, nullptr, kLength | kScores, "words whose reversal is also a word",
     "Lists the words whose reversal is also a word of the database (level; stop and pots)."},
    {"rack", Command::Rack, "TILES", kLetters | kScores | kAccents, "words that can be laid from TILES; a ? is a blank tile",
     "Lists the words that can be laid from the tiles TILES: each letter of TILES is a tile of that letter, and\n"
     "each \"?\" a blank tile that stands for any one letter; other characters are passed over. A word can be\n"
     "laid when each of its letters gets a tile of its own; its other characters (apostrophes, hyphens, blanks,\n"
     "digits) need none, and letter case never matters. Longest first, then in word order. Quote TILES when it\n"
     "holds a \"?\", so that the shell leaves it alone. Example: lexivo-cli rack 'retains?" "?'"},
    {"phrase", Command::Phrase, "TEXT", kLetters | kWords | kScores | kAccents,
     "phrases of up to 3 words that use exactly the letters of TEXT",
     "Lists every way to spell exactly the letters of TEXT with one to N words of the database (--words, 3 by\n"
     "default); other characters of TEXT and of the words are passed over, letter case never matters, and a\n"
     "word may come twice. Each set of words is listed once: its words longest first, then in word order.\n"
     "Phrases of fewer words come first. A long phrase can have millions of results: they are printed as they\n"
     "are found, and Ctrl-C stops the run, keeping what was printed. Example: lexivo-cli phrase dormitory --min 3"},
    {"add", Command::Add, "WORD", 0, "add a word that is not in the database yet, with its keys",
     "Adds WORD, exactly as given, with its letter keys, unless the database holds it already (letter case\n"
     "ignored)."},
    {"delete", Command::Delete, "WORD", 0, "delete every row equal to WORD (letter case ignored)",
     "Deletes every row whose word equals WORD, letter case ignored."},
    {"check", Command::Check, nullptr, 0, "check the letter keys; fill in the missing ones",
     "Checks that every word carries its letter keys and, where some are missing, re-builds them (a quick\n"
     "re-build). Ctrl-C stops the re-build after the current word."},
    {"rebuild", Command::Rebuild, nullptr, kQuick, "recompute the letter keys of every word (--quick: the missing)",
     "Recomputes the letter keys of every word, or with --quick fills in only the missing ones. Ctrl-C stops\n"
     "after the current word; the keys written until then stay."},
    {"compact", Command::Compact, nullptr, 0, "compact the database file",
     "Rewrites the database file compactly. Whatever fails, the file remains a whole database."},
    {"stats", Command::Stats, nullptr, 0, "the number of words in the database",
     "Prints the database's statistics, as the About window shows them."},
    {"keys", Command::Keys, "TEXT", 0, "the Sorted and Letters keys of TEXT, separated by a tab",
     "Prints the two letter keys a word TEXT is stored with: Sorted (its characters in descending order) and\n"
     "Letters (each of them once), separated by a tab. Needs no database."},
    {"levels", Command::Levels, nullptr, kSpelling, "store how common each word is, from SCOWL's word lists",
     "Gives each word of the database the lowest size level (10 to 95) at which SCOWL's word lists in FOLDER\n"
     "(default /usr/share/dict/scowl, package scowl) hold it, letter case ignored: the lists every spelling\n"
     "shares and those of the chosen spelling, without the variant lists. Words the lists lack get no level.\n"
     "The searches' --max-level N then lists only the words of level N or lower. Ctrl-C stops and leaves the\n"
     "database as it was. Usage: lexivo-cli levels [FOLDER] [--spelling american|british|canadian|australian]"},
    {"define", Command::Define, "WORD", kPos, "the meanings of WORD in WordNet",
     "Prints the meanings of WORD from WordNet (package wordnet-base, in /usr/share/wordnet or the folder\n"
     "WNSEARCHDIR names): each part of speech with the base form it was found under (ran -> run, verb) and\n"
     "its numbered glosses. Needs no database."},
};

const CommandInfo* findCommand(const QString& name) {
    for (const CommandInfo& info : kCommands)
        if (name == QLatin1String(info.name)) return &info;
    return nullptr;
}

const CommandInfo* findCommand(Command command) {
    for (const CommandInfo& info : kCommands)
        if (info.command == command) return &info;
    return nullptr;
}

const char* const kSearchOptions =
    "  --min N          only words of at least N characters (alone: no upper limit)\n"
    "  --max N          only words of at most N characters (alone: no lower limit)\n"
    "  --sort-length    order by length, then by word (default: by word)\n";
const char* const kLetterOptions =
    "  --min N          only words of at least N letters (alone: up to the number of letters given)\n"
    "  --max N          only words of at most N letters (alone: from 1 letter)\n";
const char* const kAccentsOption =
    "  --ignore-accents compare letters by their base letters (e = é, n = ñ, ss = ß); the file is not changed\n";
const char* const kRankOption =
    "  --rank ORDER     word (the word order, the default) or info (the best next guess first: the most\n"
    "                   expected information, then the smallest worst case)\n";
const char* const kWordsOption = "  --words N        phrases of at most N words, 1 to 8 (default 3)\n";
const char* const kScoreOptions =
    "  --max-level N    only words of SCOWL level N or lower (see the command levels)\n"
    "  --score          print each word, a tab and its tile score (rack: the best laying)\n"
    "  --sort score     highest score first, then the usual order\n"
    "  --min-score N    only words that score at least N\n"
    "  --tiles FILE     tile values from FILE, one \"letter value\" per line (default: English)\n";
const char* const kFilterOptions =
    "  --min N          leave out words shorter than N characters\n"
    "  --max N          leave out words longer than N characters\n"
    "  --ignore CHARS   leave out words that contain any of CHARS (letter case counts)\n"
    "  --remove CHARS   remove the first occurrence of each of CHARS from every word, in order\n"
    "  --append         add to the database (import) or to the end of LIST (export)\n";
const char* const kCommonOptions =
    "  --db FILE        the word database; without it, the one the Lexivo window last had open\n"
    "  --help           this text\n"
    "  --version        the program's version\n"
    "  --               ends the options (for a TEXT that starts with \"-\")\n";
const char* const kOutputAndStatus =
    "Results go to standard output, one per line; messages and counts go to standard error.\n"
    "Exit status: 0 success (also a search that finds nothing), 1 failure, 2 usage error,\n"
    "130 stopped by Ctrl-C (what was stored before the stop stays stored).\n";

QString synopsis(const CommandInfo& info) {
    QString text = QStringLiteral("lexivo-cli [--db FILE] ") + QLatin1String(info.name);
    if (info.operand) text += QLatin1Char(' ') + QLatin1String(info.operand);
    if (info.options & kForce) text += QStringLiteral(" [--force]");
    if (info.options & kQuick) text += QStringLiteral(" [--quick]");
    if (info.options & kAppend) text += QStringLiteral(" [--append]");
    if (info.options & kFilter) text += QStringLiteral(" [--min N] [--max N] [--ignore CHARS] [--remove CHARS]");
    if (info.options & kLength) text += QStringLiteral(" [--min N] [--max N] [--sort-length]");
    if (info.options & kWords) text += QStringLiteral(" [--words N]");
    if (info.options & kLetters) text += QStringLiteral(" [--min N] [--max N]");
    if (info.options & kScores) text += QStringLiteral(" [--max-level N] [--score] [--sort score] [--min-score N]");
    if (info.options & kSpelling) text += QStringLiteral(" [FOLDER] [--spelling SPELLING]");
    if (info.options & kPos) text += QStringLiteral(" [--pos n|v|a|r]");
    if (info.options & kRank) text += QStringLiteral(" [--rank info]");
    if (info.options & kAccents) text += QStringLiteral(" [--ignore-accents]");
    return text;
}

// A length for a search: a whole number of characters.
std::optional<int> wholeLength(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    return value;
}

// A length for the word filter, which reads its boxes as numbers (a fraction allowed).
std::optional<double> filterLength(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}

struct GivenOption {
    QString name;
    QString value;
};

bool takesValue(const QString& name) {
    return name == QLatin1String("--db") || name == QLatin1String("--min") || name == QLatin1String("--max") ||
           name == QLatin1String("--ignore") || name == QLatin1String("--remove") || name == QLatin1String("--words") ||
           name == QLatin1String("--max-level") || name == QLatin1String("--sort") ||
           name == QLatin1String("--min-score") || name == QLatin1String("--tiles") ||
           name == QLatin1String("--spelling") || name == QLatin1String("--pos") || name == QLatin1String("--rank");
}

bool isKnown(const QString& name) {
    return takesValue(name) || name == QLatin1String("--help") || name == QLatin1String("--version") ||
           name == QLatin1String("--append") || name == QLatin1String("--force") || name == QLatin1String("--quick") ||
           name == QLatin1String("--sort-length") || name == QLatin1String("--score") ||
           name == QLatin1String("--ignore-accents");
}

// The command's own use of an option, or the usage error.
QString applyOption(Invocation& inv, const CommandInfo& info, const GivenOption& option) {
    const QString& name = option.name;
    const QString& value = option.value;
    auto notFor = [&] { return QStringLiteral("%1 does not apply to %2").arg(name, QLatin1String(info.name)); };
    if (name == QLatin1String("--db")) {
        if (value.isEmpty()) return QStringLiteral("--db needs a file name");
        inv.database = value;
    } else if (name == QLatin1String("--append")) {
        if (!(info.options & kAppend)) return notFor();
        inv.append = true;
    } else if (name == QLatin1String("--force")) {
        if (!(info.options & kForce)) return notFor();
        inv.force = true;
    } else if (name == QLatin1String("--quick")) {
        if (!(info.options & kQuick)) return notFor();
        inv.quick = true;
    } else if (name == QLatin1String("--sort-length")) {
        if (!(info.options & kLength)) return notFor();
        inv.sortByLength = true;
    } else if (name == QLatin1String("--min") || name == QLatin1String("--max")) {
        const bool minimum = name == QLatin1String("--min");
        if (info.options & kLetters) {
            const std::optional<int> length = wholeLength(value);
            if (!length || *length < 1)
                return QStringLiteral("%1 needs a whole number of letters, 1 or more, not '%2'").arg(name, value);
            (minimum ? inv.minimumLength : inv.maximumLength) = *length;
        } else if (info.options & kLength) {
            const std::optional<int> length = wholeLength(value);
            if (!length) return QStringLiteral("%1 needs a whole number of characters, not '%2'").arg(name, value);
            (minimum ? inv.minimumLength : inv.maximumLength) = *length;
        } else if (info.options & kFilter) {
            const std::optional<double> length = filterLength(value);
            if (!length) return QStringLiteral("%1 needs a number of characters, not '%2'").arg(name, value);
            if (minimum) {
                inv.filter.minimumOn = true;
                inv.filter.minimum = *length;
            } else {
                inv.filter.maximumOn = true;
                inv.filter.maximum = *length;
            }
        } else {
            return notFor();
        }
    } else if (name == QLatin1String("--ignore-accents")) {
        if (!(info.options & kAccents)) return notFor();
        inv.ignoreAccents = true;
    } else if (name == QLatin1String("--rank")) {
        if (!(info.options & kRank)) return notFor();
        if (value != QLatin1String("info") && value != QLatin1String("word"))
            return QStringLiteral("--rank needs info or word, not '%1'").arg(value);
        inv.rankByInformation = value == QLatin1String("info");
    } else if (name == QLatin1String("--words")) {
        if (!(info.options & kWords)) return notFor();
        const std::optional<int> words = wholeLength(value);
        if (!words || *words < 1 || *words > 8)
            return QStringLiteral("--words needs a whole number from 1 to 8, not '%1'").arg(value);
        inv.words = *words;
    } else if (name == QLatin1String("--max-level") || name == QLatin1String("--min-score")) {
        if (!(info.options & kScores)) return notFor();
        const std::optional<int> number = wholeLength(value);
        if (!number) return QStringLiteral("%1 needs a whole number, not '%2'").arg(name, value);
        (name == QLatin1String("--max-level") ? inv.maxLevel : inv.minScore) = *number;
    } else if (name == QLatin1String("--score") || name == QLatin1String("--tiles")) {
        if (!(info.options & kScores)) return notFor();
        if (name == QLatin1String("--score")) inv.showScore = true;
        else inv.tiles = value;
    } else if (name == QLatin1String("--sort")) {
        if (!(info.options & kScores)) return notFor();
        if (value == QLatin1String("score"))
            inv.sortByScore = true;
        else if (value == QLatin1String("length") && (info.options & kLength))
            inv.sortByLength = true;
        else
            return QStringLiteral("--sort takes score, not '%1'").arg(value);
    } else if (name == QLatin1String("--spelling")) {
        if (!(info.options & kSpelling)) return notFor();
        if (value != QLatin1String("american") && value != QLatin1String("british") &&
            value != QLatin1String("canadian") && value != QLatin1String("australian"))
            return QStringLiteral("--spelling takes american, british, canadian or australian, not '%1'").arg(value);
        inv.spelling = value;
    } else if (name == QLatin1String("--pos")) {
        if (!(info.options & kPos)) return notFor();
        if (value != QLatin1String("n") && value != QLatin1String("v") && value != QLatin1String("a") &&
            value != QLatin1String("r"))
            return QStringLiteral("--pos takes n, v, a or r, not '%1'").arg(value);
        inv.partOfSpeech = value;
    } else if (name == QLatin1String("--ignore") || name == QLatin1String("--remove")) {
        if (!(info.options & kFilter)) return notFor();
        if (name == QLatin1String("--ignore")) {
            inv.filter.ignoreOn = true;
            inv.filter.ignore = value;
        } else {
            inv.filter.removeOn = true;
            inv.filter.remove = value;
        }
    }
    return {};
}

}  // namespace

Parsed ParseArguments(const QStringList& args) {
    Parsed parsed;
    Invocation& inv = parsed.invocation;
    std::vector<GivenOption> options;
    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            operands << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("-h")) {
            inv.help = true;
        } else {
            GivenOption option;
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            option.name = equals < 0 ? arg : arg.left(equals);
            if (!arg.startsWith(QLatin1String("--")) || !isKnown(option.name)) {
                parsed.error = QStringLiteral("unknown option '%1'").arg(option.name);
                return parsed;
            }
            if (takesValue(option.name)) {
                // The value is the next argument whatever it looks like: "--remove -" removes hyphens.
                if (equals >= 0) {
                    option.value = arg.mid(equals + 1);
                } else if (i + 1 < args.size()) {
                    option.value = args.at(++i);
                } else {
                    parsed.error = QStringLiteral("%1 needs a value").arg(option.name);
                    return parsed;
                }
            } else if (equals >= 0) {
                parsed.error = QStringLiteral("%1 takes no value").arg(option.name);
                return parsed;
            }
            if (option.name == QLatin1String("--help"))
                inv.help = true;
            else if (option.name == QLatin1String("--version"))
                inv.version = true;
            else
                options.push_back(option);
        }
    }

    if (inv.version) return parsed;
    if (operands.isEmpty()) {
        if (!inv.help) parsed.error = QStringLiteral("no command given");
        return parsed;
    }
    inv.commandName = operands.takeFirst();
    const CommandInfo* info = findCommand(inv.commandName);
    if (!info) {
        parsed.error = QStringLiteral("unknown command '%1'").arg(inv.commandName);
        return parsed;
    }
    inv.command = info->command;
    if (inv.help) return parsed;

    for (const GivenOption& option : options) {
        parsed.error = applyOption(inv, *info, option);
        if (!parsed.error.isEmpty()) return parsed;
    }
    if (info->operand) {
        if (operands.isEmpty()) {
            parsed.error = QStringLiteral("%1 needs %2").arg(inv.commandName, QLatin1String(info->operand));
            return parsed;
        }
        inv.operand = operands.takeFirst();
        if (info->options & kOperands) {
            for (const QString& more : operands) inv.operand += QLatin1Char(' ') + more;
            operands.clear();
        }
    } else if (info->options & kSpelling) {
        if (!operands.isEmpty()) inv.operand = operands.takeFirst();  // the folder, optional
    }
    if (!operands.isEmpty()) {
        parsed.error = QStringLiteral("unexpected argument '%1'").arg(operands.first());
        return parsed;
    }
    if (inv.command != Command::Add && inv.command != Command::Delete && info->operand && inv.operand.isEmpty()) {
        parsed.error = QStringLiteral("%1 must not be empty").arg(QLatin1String(info->operand));
        return parsed;
    }
    if (inv.minimumLength && inv.maximumLength && *inv.maximumLength < *inv.minimumLength) {
        parsed.error = QStringLiteral("--max must not be below --min");
        return parsed;
    }
    return parsed;
}

QString ProgramUsage() {
    QString text = QStringLiteral(
        "Usage: lexivo-cli [--db FILE] COMMAND [ARGUMENTS] [OPTIONS]\n\n"
        "Searches and maintains a Lexivo word database, with the same results as the Lexivo window.\n\n"
        "Commands:\n");
    for (const CommandInfo& info : kCommands) {
        QString head = QStringLiteral("  ") + QLatin1String(info.name);
        if (info.operand) head += QLatin1Char(' ') + QLatin1String(info.operand);
        if (info.options & kQuick) head += QStringLiteral(" [--quick]");
        if (info.options & kForce) head += QStringLiteral(" [--force]");
        if (info.options & (kAppend | kFilter)) head += QStringLiteral(" [--append] [FILTER]");
        head = head.leftJustified(34);
        if (head.size() > 34) head += QStringLiteral("\n") + QString(34, QLatin1Char(' '));
        text += head + QLatin1String(info.summary) + QLatin1Char('\n');
    }
    text += QStringLiteral("\nSearch options (anagram, synogram, letters, mask, palindromes):\n") +
            QLatin1String(kSearchOptions) + QStringLiteral("\nRack and phrase options:\n") +
            QLatin1String(kLetterOptions) + QLatin1String(kWordsOption) +
            QStringLiteral("\nLevel and score options (every search):\n") + QLatin1String(kScoreOptions) +
            QStringLiteral("\nFILTER (import, export):\n") + QLatin1String(kFilterOptions) + QStringLiteral("\n") +
            QLatin1String(kCommonOptions) +
            QStringLiteral("\nThe searches print one word per line, in the order the window lists them.\n") +
            QLatin1String(kOutputAndStatus);
    return text;
}

QString CommandUsage(Command command) {
    const CommandInfo* info = findCommand(command);
    if (!info) return ProgramUsage();
    QString text = QStringLiteral("Usage: ") + synopsis(*info) + QStringLiteral("\n\n") +
                   QLatin1String(info->description) + QStringLiteral("\n\nOptions:\n");
    if (info->options & kLength) text += QLatin1String(kSearchOptions);
    if (info->options & kLetters) text += QLatin1String(kLetterOptions);
    if (info->options & kRank) text += QLatin1String(kRankOption);
    if (info->options & kAccents) text += QLatin1String(kAccentsOption);
    if (info->options & kWords) text += QLatin1String(kWordsOption);
    if (info->options & kScores) text += QLatin1String(kScoreOptions);
    if (info->options & kSpelling) text += QStringLiteral("  --spelling S     american (default), british, canadian or australian\n");
    if (info->options & kPos) text += QStringLiteral("  --pos P          only nouns (n), verbs (v), adjectives (a) or adverbs (r)\n");
    if (info->options & kFilter) text += QLatin1String(kFilterOptions);
    if (info->options & kForce) text += QStringLiteral("  --force          replace an existing FILE\n");
    if (info->options & kQuick) text += QStringLiteral("  --quick          fill in only the missing keys\n");
    text += QLatin1String(kCommonOptions) + QStringLiteral("\n") + QLatin1String(kOutputAndStatus);
    return text;
}

}  // namespace lexivo::cli
