#include "cli/usage.h"

#include "cli/command_list.h"

namespace lexivo::cli {

namespace {

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

}  // namespace

QString ProgramUsage() {
    QString text = QStringLiteral(
        "Usage: lexivo-cli [--db FILE] COMMAND [ARGUMENTS] [OPTIONS]\n\n"
        "Searches and maintains a Lexivo word database, with the same results as the Lexivo window.\n\n"
        "Commands:\n");
    QStringList withLengths;  // the commands that take the search options
    for (const CommandInfo& info : Commands()) {
        if (info.options & kLength) withLengths << QLatin1String(info.name);
        QString head = QStringLiteral("  ") + QLatin1String(info.name);
        if (info.operand) head += QLatin1Char(' ') + QLatin1String(info.operand);
        if (info.options & kQuick) head += QStringLiteral(" [--quick]");
        if (info.options & kForce) head += QStringLiteral(" [--force]");
        if (info.options & (kAppend | kFilter)) head += QStringLiteral(" [--append] [FILTER]");
        head = head.leftJustified(34);
        if (head.size() > 34) head += QStringLiteral("\n") + QString(34, QLatin1Char(' '));
        text += head + QLatin1String(info.summary) + QLatin1Char('\n');
    }
    text += QStringLiteral("\nSearch options (%1):\n").arg(withLengths.join(QStringLiteral(", "))) +
            QLatin1String(kSearchOptions) + QStringLiteral("\nRack and phrase options:\n") +
            QLatin1String(kLetterOptions) + QLatin1String(kWordsOption) +
            QStringLiteral("\nLevel and score options (every search):\n") + QLatin1String(kScoreOptions) +
            QStringLiteral("\nFILTER (import, export):\n") + QLatin1String(kFilterOptions) + QStringLiteral("\n") +
            QLatin1String(kCommonOptions) +
            QStringLiteral("\nThe searches print one word per line, in the order the window lists them.\n") +
            QLatin1String(kOutputAndStatus);
    return text;
}

QString CommandUsage(QStringView commandName) {
    const CommandInfo* info = FindCommand(commandName);
    if (!info) return ProgramUsage();
    QString text = QStringLiteral("Usage: ") + synopsis(*info) + QStringLiteral("\n\n") +
                   QLatin1String(info->description) + QStringLiteral("\n\nOptions:\n");
    if (info->options & kLength) text += QLatin1String(kSearchOptions);
    if (info->options & kLetters) text += QLatin1String(kLetterOptions);
    if (info->options & kRank) text += QLatin1String(kRankOption);
    if (info->options & kAccents) text += QLatin1String(kAccentsOption);
    if (info->options & kWords) text += QLatin1String(kWordsOption);
    if (info->options & kScores) text += QLatin1String(kScoreOptions);
    if (info->options & kSpelling)
        text += QStringLiteral("  --spelling S     american (default), british, canadian or australian\n");
    if (info->options & kPos)
        text += QStringLiteral("  --pos P          only nouns (n), verbs (v), adjectives (a) or adverbs (r)\n");
    if (info->options & kFilter) text += QLatin1String(kFilterOptions);
    if (info->options & kForce) text += QStringLiteral("  --force          replace an existing FILE\n");
    if (info->options & kQuick) text += QStringLiteral("  --quick          fill in only the missing keys\n");
    text += QLatin1String(kCommonOptions) + QStringLiteral("\n") + QLatin1String(kOutputAndStatus);
    return text;
}

}  // namespace lexivo::cli
