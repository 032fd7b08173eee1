// lexivo-cli as a user runs it: each command through the built program, its exit status, and what goes to
// standard output (results only) and to standard error (messages, counts, reasons). On bad input each failure
// is one line on standard error and status 1, and nothing already stored is lost. Also the database it takes
// without --db, and Ctrl-C during a long run. (Files that are not word databases are the reliability trials'
// part.)

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtWidgets>

#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "support/cli_process.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

const QStringList kWords = {"tea",  "eat",  "ate",  "teas", "teat",  "tee",  "Cook", "cask", "cork", "cake",
                            "cafe", "cone", "make", "ease", "level", "stop", "pots", "a",    "café", "don't"};

class CliTest : public CliFixture {
protected:
    CliTest() : CliFixture(kWords) {}
    void SetUp() override {
        CliFixture::SetUp();
        before = ReadFile(database);
    }

    QStringList storedWords() const {
        Connection db = Connection::open(database);
        QStringList stored = StoredWords(db);
        stored.sort(Qt::CaseInsensitive);
        return stored;
    }

    QByteArray before;
};

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
    WriteFile(list, "kiwi\nfig\nbanana\nice-cream\ndon't\nQuince\n-\n");
    r = on({"import", list, "--append", "--min", "4", "--max", "9", "--ignore", "'Q", "--remove", "-"});
    EXPECT_EQ(r.code, 0) << r;
    // fig is left out by its length and still counted: it is stored already. A lone hyphen becomes a blank.
    EXPECT_EQ(r.error(), "Import Complete. 3 words imported,1 duplicates skipped, 1, blanks skipped.\n");
    EXPECT_EQ(storedWords(), (QStringList{"apple", "banana", "fig", "icecream", "kiwi", "pear", "plum"}));
}

TEST_F(CliTest, AddAndDeleteSayWhatTheWindowSays) {
    CliResult r = on({"add", "Kiwi"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.messages(), QStringList{"OK!"});
    EXPECT_EQ(on({"keys", "KiWi"}).output(), "wkii\twki\n");
    // Stored with the keys of the folded word, as the letter searches make theirs: any case finds it.
    EXPECT_EQ(on({"synogram", "KIW"}).lines(), QStringList{"Kiwi"});
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
    r = cli({"import", "-h"});
    EXPECT_TRUE(r.output().startsWith("Usage: lexivo-cli [--db FILE] import")) << r;
    EXPECT_TRUE(r.output().contains("REPLACED unless --append")) << r;
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
        {{"anagram", "tea", "--min", "three"}, "--min needs a whole number of characters, not 'three'"},
        {{"anagram", "tea", "--min", "4", "--max", "3"}, "--max must not be below --min"},
        {{"import", "list.txt", "--sort-length"}, "--sort-length does not apply to import"},
        {{"import", "list.txt", "--max", "-1"}, "--max needs a number of characters, not '-1'"},
        {{"stats", "--frobnicate"}, "unknown option '--frobnicate'"},
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

// One line naming the program and the reason, status 1, nothing on standard output.
::testing::AssertionResult failedWithOneLine(const CliResult& r, const QString& reasonPart) {
    if (r.crashed || r.code != 1) return ::testing::AssertionFailure() << "expected status 1, got " << r;
    if (!r.out.isEmpty()) return ::testing::AssertionFailure() << "standard output not empty: " << r;
    const QStringList lines = r.messages();
    if (lines.size() != 1 || !lines.first().startsWith("lexivo-cli: ") || !lines.first().contains(reasonPart))
        return ::testing::AssertionFailure() << "expected one line with '" << reasonPart.toStdString() << "': " << r;
    return ::testing::AssertionSuccess();
}

TEST_F(CliTest, AnUnreadableListKeepsEveryWord) {
    EXPECT_TRUE(failedWithOneLine(on({"import", path("missing.txt")}), "missing.txt"));
    EXPECT_EQ(storedWords().size(), kWords.size());
    EXPECT_TRUE(failedWithOneLine(on({"import", dir.path()}), "The import stopped"));
    EXPECT_EQ(storedWords().size(), kWords.size());
    EXPECT_EQ(ReadFile(database), before);
}

TEST_F(CliTest, NamesThatCannotBeWordDatabasesAndWordsThatCannotBeStoredAreSaidOnce) {
    EXPECT_TRUE(failedWithOneLine(cli({"new", path("w*.mdb")}), "w*.mdb"));  // the wildcard matches words.mdb
    EXPECT_TRUE(failedWithOneLine(cli({"--db", dir.path() + "/", "stats"}), "It is a folder"));
    EXPECT_TRUE(failedWithOneLine(on({"add", "ab\ncd"}), "control characters"));
    EXPECT_EQ(storedWords().size(), kWords.size());
    const CliResult r = cli({"--version"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.output().startsWith("lexivo-cli 1.")) << r;
}

// make run's default word database: made once from the word list, then reused; without a list, one line.
TEST_F(CliTest, TheDefaultWordDatabaseIsMadeOnceFromTheWordList) {
    CliRunner script = runner;
    script.environment.insert("XDG_DATA_HOME", path("data"));
    script.environment.insert("LEXIVO_WORD_LIST", path("list.txt"));
    CliOptions bash;
    bash.program = "/bin/bash";
    const QStringList args = {LEXIVO_SOURCE_DIR "/scripts/default-database.sh", LEXIVO_BINARY_DIR};
    const QString made = path("data/Lexivo/words.mdb");

    CliResult r = script.run(args, bash);
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.messages().size(), 1) << r;
    EXPECT_FALSE(QFile::exists(made));

    WriteFile(path("list.txt"), "listen\nsilent\ntinsel\nlisten's\n");
    for (int run = 0; run < 2; ++run) {
        r = script.run(args, bash);
        EXPECT_EQ(r.code, 0) << r;
        EXPECT_EQ(r.output(), made + "\n");
        if (run == 0) WriteFile(path("list.txt"), "other\n");  // not read again
    }
    EXPECT_EQ(cli({"--db", made, "anagram", "silent"}).lines(), QStringList({"listen", "silent", "tinsel"}));
    EXPECT_EQ(QDir(path("data/Lexivo")).entryList(QDir::Files | QDir::Hidden), QStringList({"words.mdb"}));
}

TEST_F(CliTest, AFullDiskIsReported) {
    EXPECT_TRUE(failedWithOneLine(on({"export", "/dev/full"}), "The export stopped"));

    CliOptions full;
    full.standardOutputFile = QStringLiteral("/dev/full");
    const CliResult r = on({"anagram", "tea"}, full);
    EXPECT_TRUE(failedWithOneLine(r, "the results could not be written: No space left on device"));
    EXPECT_EQ(ReadFile(database), before);
}

// The window's settings file names the database when --db does not: beside the program, or in the user's
// configuration folder when the program's folder has none.
TEST_F(CliTest, WithoutDbTheWindowsLastDatabaseIsUsed) {
    const QString programFolder = path("program");
    ASSERT_TRUE(QDir().mkpath(programFolder));
    CliOptions copy;
    copy.program = programFolder + "/lexivo-cli";
    ASSERT_TRUE(QFile::copy(kCliProgram, copy.program));

    EXPECT_TRUE(failedWithOneLine(cli({"stats"}, copy), "name one with --db FILE"));

    const QString fallback = path("config/Lexivo/lexivo.ini");
    ASSERT_TRUE(QDir().mkpath(path("config/Lexivo")));
    WriteFile(fallback, QFile::encodeName(database) + "\r\n");
    CliResult r = cli({"stats"}, copy);
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.output(), QStringLiteral("Database contains %1 words.\n").arg(kWords.size()));

    const QString other = path("other words.mdb");
    CreateWordDatabase(other, {"pots", "stop"});
    WriteFile(programFolder + "/lexivo.ini", QFile::encodeName(other) + "\r\n");
    r = cli({"palindromes"}, copy);
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.lines(), (QStringList{"pots", "stop"}));

    ASSERT_TRUE(QFile::remove(other));
    EXPECT_TRUE(failedWithOneLine(cli({"palindromes"}, copy), "the one the Lexivo window last had open"));
}

TEST_F(CliTest, CtrlCStopsAnImportAfterTheCurrentWordAndKeepsWhatWasStored) {
    // Enough words that the import is still running when the interrupt comes.
    constexpr int kListWords = 400000;
    const QString listPath = path("big.txt");
    WriteFile(listPath, WordListBytes(GeneratedWords(kListWords, 3)));

    CliOptions interrupted;
    interrupted.whileRunning = [this](QProcess& process) {
        // Once the first batch is stored, the run is well under way (and the interrupt handler in place).
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 && process.state() == QProcess::Running) {
            try {
                Connection db = Connection::open(database);
                db.setBusyTimeout(0);
                if (WordCount(db) > kWords.size()) break;
            } catch (const Error&) {
            }
            QThread::msleep(50);
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    };
    const CliResult r = on({"import", listPath, "--append"}, interrupted);
    ASSERT_FALSE(r.crashed) << r;
    EXPECT_EQ(r.code, 130) << r;
    EXPECT_TRUE(r.out.isEmpty());
    ASSERT_EQ(r.messages().size(), 1) << r;
    EXPECT_TRUE(r.messages().first().startsWith("Import Complete. ")) << r;
    const qint64 imported = storedWords().size() - kWords.size();
    EXPECT_GT(imported, 0);
    EXPECT_LT(imported, kListWords);
    // The message counts exactly the words that were kept.
    EXPECT_TRUE(r.error().startsWith(QStringLiteral("Import Complete. %1 words imported,").arg(imported))) << r;
}

}  // namespace
}  // namespace lexivo::test
