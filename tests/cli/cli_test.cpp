// lexivo-cli as a user runs it: each command through the built program, its exit status, and what goes to
// standard output (results only) and to standard error (messages, counts, reasons).

#include <gtest/gtest.h>

#include <QFile>

#include "cli_process.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

const QStringList kWords = {"tea",  "eat",  "ate",  "teas", "teat",  "tee",  "Cook", "cask", "cork", "cake",
                            "cafe", "cone", "make", "ease", "level", "stop", "pots", "a",    "café", "don't"};

class CliTest : public CliFixture {
protected:
    CliTest() : CliFixture(kWords) {}

    QStringList storedWords() const {
        Connection db = Connection::open(database);
        QStringList stored = StoredWords(db);
        stored.sort(Qt::CaseInsensitive);
        return stored;
    }
};

TEST_F(CliTest, SearchesPrintTheWordsInListOrderAndTheCountOnStandardError) {
    struct Case {
        QStringList args;
        QStringList words;
    };
    const Case cases[] = {
        {{"anagram", "tea"}, {"ate", "eat", "tea"}},
        {{"anagram", "TEA"}, {"ate", "eat", "tea"}},
        {{"anagram", "éfac"}, {"café"}},
        {{"synogram", "tea"}, {"ate", "eat", "tea", "teat"}},
        {{"letters", "ta"}, {"ate", "eat", "tea", "teas", "teat"}},
        {{"mask", "c@@k"}, {"Cook"}},
        {{"mask", "C??E"}, {"cafe", "cake", "cone"}},
        {{"mask", "#a#e"}, {"cafe", "cake", "make"}},
        {{"mask", "c*@"}, {"cafe", "cake", "cone"}},
        {{"mask", "don't"}, {"don't"}},
        {{"palindromes"}, {"a", "level", "pots", "stop"}},
        {{"palindromes", "--sort-length"}, {"a", "pots", "stop", "level"}},
        {{"palindromes", "--min", "4", "--max", "4"}, {"pots", "stop"}},
        {{"palindromes", "--min", "5"}, {"level"}},
        {{"--max", "1", "palindromes"}, {"a"}},
        {{"mask", "*", "--min", "4", "--max", "4", "--sort-length"},
         {"cafe", "café", "cake", "cask", "cone", "Cook", "cork", "ease", "make", "pots", "stop", "teas", "teat"}},
        {{"anagram", "xyzzy"}, {}},
    };
    for (const Case& c : cases) {
        const CliResult r = on(c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(r.code, 0) << r;
        EXPECT_EQ(r.lines(), c.words);
        EXPECT_EQ(r.error(), QStringLiteral("Found %1 word(s).\n").arg(c.words.size()));
    }
    // UTF-8, one "\n" after every word and nothing else.
    EXPECT_EQ(on({"anagram", "éfac"}).out, QByteArray("caf\xc3\xa9\n"));
}

TEST_F(CliTest, NewRefusesAnExistingFileUnlessForced) {
    const QString fresh = path("fresh.mdb");
    CliResult r = cli({"new", fresh});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(cli({"--db", fresh, "stats"}).output(), "Database is empty, import from a word list text file.\n");

    // The test's database stays as it was when it is refused.
    r = cli({"new", database});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_EQ(r.messages().size(), 1);
    EXPECT_TRUE(r.error().contains("--force")) << r;
    EXPECT_EQ(storedWords().size(), kWords.size());

    r = cli({"new", database, "--force"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(storedWords().isEmpty());
}

TEST_F(CliTest, ImportReplacesTheWordsUnlessAppendingAndPrintsTheCompletionMessage) {
    const QString list = path("list.txt");
    WriteFile(list, "apple\r\n  pear  \r\napple\r\n\r\nplum,fig\r\n");
    CliResult r = on({"import", list});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.error(), "Import Complete. 4 words imported,1 duplicates skipped, 1, blanks skipped.\n");
    EXPECT_EQ(storedWords(), (QStringList{"apple", "fig", "pear", "plum"}));

    // The word filter: lengths first, then the characters that leave a word out, then those removed.
    WriteFile(list, "kiwi\nfig\nbanana\nice-cream\ndon't\nQuince\n");
    r = on({"import", list, "--append", "--min", "4", "--max", "9", "--ignore", "'Q", "--remove", "-"});
    EXPECT_EQ(r.code, 0) << r;
    // fig is left out by its length and still counted: it is stored already.
    EXPECT_EQ(r.error(), "Import Complete. 3 words imported,1 duplicates skipped, 0, blanks skipped.\n");
    EXPECT_EQ(storedWords(), (QStringList{"apple", "banana", "fig", "icecream", "kiwi", "pear", "plum"}));
}

TEST_F(CliTest, ExportWritesEveryWordInWordOrder) {
    const QString list = path("out.txt");
    CliResult r = on({"export", list, "--min", "5", "--ignore", "'", "--remove", "e"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.error(), "Export Complete.\n");
    EXPECT_EQ(ReadFile(list), QByteArray("lvel\r\n"));

    r = on({"export", list, "--append", "--max", "1"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(ReadFile(list), QByteArray("lvel\r\na\r\n"));

    r = on({"export", list});
    EXPECT_EQ(r.code, 0) << r;
    QStringList sorted = kWords;
    sorted.sort(Qt::CaseInsensitive);
    EXPECT_EQ(QString::fromUtf8(ReadFile(list)), sorted.join("\r\n") + "\r\n");
}

TEST_F(CliTest, AddAndDeleteSayWhatTheWindowSays) {
    CliResult r = on({"add", "Kiwi"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.messages(), QStringList{"OK!"});
    EXPECT_EQ(on({"keys", "Kiwi"}).output(), "wiiK\twiK\n");
    // Stored with the keys of the word as typed, where the capital sorts last; the letter searches lower-case
    // their input, so they do not find it.
    EXPECT_EQ(on({"synogram", "kiw"}).lines(), QStringList());
    EXPECT_EQ(on({"mask", "k??i"}).lines(), QStringList{"Kiwi"});

    r = on({"add", "KIWI"});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_EQ(r.messages().last(), "Already in database!");

    r = on({"delete", "TEA"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.messages(), QStringList{"1 word(s) deleted."});
    EXPECT_FALSE(storedWords().contains("tea"));

    r = on({"delete", "tea"});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_EQ(r.messages(), QStringList{"Word not found!"});

    r = on({"add", ""});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_EQ(r.messages(), QStringList{"Nothing to add!"});
}

TEST_F(CliTest, MaintenanceCommandsReportTheirOutcome) {
    CliResult r = on({"check"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.error().startsWith("The database appears to be ok")) << r;

    {
        Connection db = Connection::open(database);
        db.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL WHERE [Word] IN ('tea','eat')");
    }
    EXPECT_EQ(on({"anagram", "tea"}).lines(), QStringList{"ate"});
    r = on({"check"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.error().startsWith("The database index needs re-building")) << r;
    EXPECT_TRUE(r.error().contains("quick re-build now? [yes]")) << r;
    EXPECT_EQ(on({"anagram", "tea"}).lines(), (QStringList{"ate", "eat", "tea"}));

    {
        // A stale key: only the complete rebuild corrects it.
        Connection db = Connection::open(database);
        db.execute("UPDATE [Dictionary] SET [Sorted]='xx' WHERE [Word]='ate'");
    }
    r = on({"rebuild", "--quick"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.error(), "Re-build complete: keys written for 0 word(s).\n");
    r = on({"rebuild"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.error(), "Re-build complete: keys written for 1 word(s).\n");
    EXPECT_EQ(on({"anagram", "tea"}).lines(), (QStringList{"ate", "eat", "tea"}));

    r = on({"compact"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.error(), QStringLiteral("%1 words.\n").arg(kWords.size()));
    EXPECT_EQ(storedWords().size(), kWords.size());

    r = on({"stats"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.output(), QStringLiteral("Database contains %1 words.\n").arg(kWords.size()));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(CliTest, KeysAndHelpNeedNoDatabaseAndGoToStandardOutput) {
    CliResult r = cli({"keys", "letter"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.out, QByteArray("ttrlee\ttrle\n"));
    EXPECT_TRUE(r.err.isEmpty());

    r = cli({"--help"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_TRUE(r.output().startsWith("Usage: lexivo-cli [--db FILE] COMMAND [ARGUMENTS] [OPTIONS]\n"));
    EXPECT_TRUE(r.output().contains("REPLACES ALL WORDS unless --append"));
    for (const char* command : {"new", "import", "export", "anagram", "synogram", "letters", "mask", "palindromes",
                                "add", "delete", "check", "rebuild", "compact", "stats", "keys"}) {
        r = cli({command, "--help"});
        EXPECT_EQ(r.code, 0) << command << r;
        EXPECT_TRUE(r.output().startsWith(QStringLiteral("Usage: lexivo-cli [--db FILE] %1").arg(command))) << r;
        EXPECT_TRUE(r.err.isEmpty());
    }
    EXPECT_TRUE(cli({"import", "-h"}).output().contains("REPLACED unless --append"));
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndShowTheUsage) {
    struct Case {
        QStringList args;
        QString reason;
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"anagrams", "tea"}, "unknown command 'anagrams'"},
        {{"anagram"}, "anagram needs TEXT"},
        {{"anagram", ""}, "TEXT must not be empty"},
        {{"anagram", "tea", "eat"}, "unexpected argument 'eat'"},
        {{"anagram", "tea", "--min"}, "--min needs a value"},
        {{"anagram", "tea", "--min", "three"}, "--min needs a whole number of characters, not 'three'"},
        {{"anagram", "tea", "--min", "4", "--max", "3"}, "--max must not be below --min"},
        {{"anagram", "tea", "--append"}, "--append does not apply to anagram"},
        {{"import", "list.txt", "--sort-length"}, "--sort-length does not apply to import"},
        {{"import", "list.txt", "--max", "-1"}, "--max needs a number of characters, not '-1'"},
        {{"stats", "--frobnicate"}, "unknown option '--frobnicate'"},
        {{"stats", "--append=yes"}, "--append takes no value"},
        {{"palindromes", "extra"}, "unexpected argument 'extra'"},
    };
    for (const Case& c : cases) {
        const CliResult r = on(c.args);
        SCOPED_TRACE(c.args.join(' ').toStdString());
        EXPECT_EQ(r.code, 2) << r;
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.error().startsWith("lexivo-cli: " + c.reason + "\n\nUsage: lexivo-cli")) << r;
    }
    // "--" lets a text start with a hyphen.
    EXPECT_EQ(on({"mask", "--", "-*"}).code, 0);
}

}  // namespace
}  // namespace lexivo::test
