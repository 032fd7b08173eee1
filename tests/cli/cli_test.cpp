// lexivo-cli as a user runs it: exit status, results alone on standard output, messages on standard error; a
// failure is one line and status 1 and loses nothing stored. Also the database taken without --db, and Ctrl-C.

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtWidgets>
#include <tuple>

#include "reliability/reliability_support.h"
#include "search/search_query.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "support/cli_process.h"
#include "support/run_search.h"
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

// One line naming the program and the reason, status 1, nothing on standard output.
::testing::AssertionResult failedWithOneLine(const CliResult& r, const QString& reasonPart) {
    if (r.crashed || r.code != 1) return ::testing::AssertionFailure() << "expected status 1, got " << r;
    if (!r.out.isEmpty()) return ::testing::AssertionFailure() << "standard output not empty: " << r;
    const QStringList lines = r.messages();
    if (lines.size() != 1 || !lines.first().startsWith("lexivo-cli: ") || !lines.first().contains(reasonPart))
        return ::testing::AssertionFailure() << "expected one line with '" << reasonPart.toStdString() << "': " << r;
    return ::testing::AssertionSuccess();
}

TEST_F(CliTest, NewRefusesAnExistingFileUnlessForced) {
    const QString fresh = path("fresh.mdb");
    EXPECT_EQ(cli({"new", fresh}).code, 0);
    EXPECT_EQ(cli({"--db", fresh, "stats"}).output(), "Database is empty, import from a word list text file.\n");
    EXPECT_TRUE(failedWithOneLine(cli({"new", database}), "--force"));
    EXPECT_EQ(storedWords().size(), kWords.size());
    EXPECT_EQ(cli({"new", database, "--force"}).code, 0);
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
    // The filter: lengths, then the characters that leave a word out, then those removed. fig is left out by its
    // length and still counted (stored already); a lone hyphen becomes a blank.
    WriteFile(list, "kiwi\nfig\nbanana\nice-cream\ndon't\nQuince\n-\n");
    r = on({"import", list, "--append", "--min", "4", "--max", "9", "--ignore", "'Q", "--remove", "-"});
    EXPECT_EQ(r.error(), "Import Complete. 3 words imported,1 duplicates skipped, 1, blanks skipped.\n");
    EXPECT_EQ(storedWords(), (QStringList{"apple", "banana", "fig", "icecream", "kiwi", "pear", "plum"}));
}

TEST_F(CliTest, AddAndDeleteSayWhatTheWindowSays) {
    const std::tuple<QStringList, int, QString> steps[] = {
        {{"add", "Kiwi"}, 0, "OK!"}, {{"add", "KIWI"}, 1, "Already in database!"}, {{"add", ""}, 1, "Nothing to add!"},
        {{"delete", "TEA"}, 0, "1 word(s) deleted."}, {{"delete", "tea"}, 1, "Word not found!"}};
    for (const auto& [args, code, message] : steps) {
        const CliResult r = on(args);
        EXPECT_EQ(r.code, code) << r;
        EXPECT_TRUE(r.out.isEmpty()) << r;
        EXPECT_TRUE(r.error().endsWith(message + "\n")) << r;
    }
    EXPECT_FALSE(storedWords().contains("tea"));
    // Stored with the keys of the folded word, as the letter searches make theirs: any case finds it.
    EXPECT_EQ(on({"synogram", "KIW"}).lines(), QStringList{"Kiwi"});
    EXPECT_EQ(on({"mask", "k??i"}).lines(), QStringList{"Kiwi"});
    EXPECT_EQ(cli({"keys", "KiWi"}).output(), "wkii\twki\n");  // as stored, and without a database
}

// Each search command runs its own mode: the words the core's search of that mode lists for the same input.
// "tea" tells the letter modes apart on these words (teat, teas).
TEST_F(CliTest, EverySearchCommandRunsItsOwnMode) {
    for (const SearchModeRow& row : kSearchModes) {
        if (!row.listsWords) continue;
        SCOPED_TRACE(row.command);
        SearchRequest request;
        request.mode = row.mode;
        request.input = row.inputRunsOn ? "tea:yyy" : row.takesInput() ? "tea" : "";
        QStringList args{row.command};
        if (row.takesInput()) args << request.input;
        const QStringList listed = on(args).lines();
        Connection db = Connection::open(database);
        EXPECT_EQ(listed, RunRequestForTest(db, request));
    }
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
}

// make run's default word database: made once from the word list; without a list, one line.
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
    CliOptions full;
    full.standardOutputFile = QStringLiteral("/dev/full");
    const CliResult r = on({"anagram", "tea"}, full);
    EXPECT_TRUE(failedWithOneLine(r, "the results could not be written: No space left on device"));
    EXPECT_EQ(ReadFile(database), before);
}

// Without --db, the window's settings file beside the program or else in the configuration folder names it.
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
    EXPECT_EQ(cli({"stats"}, copy).output(), QStringLiteral("Database contains %1 words.\n").arg(kWords.size()));

    const QString other = path("other words.mdb");
    CreateWordDatabase(other, {"pots", "stop"});
    WriteFile(programFolder + "/lexivo.ini", QFile::encodeName(other) + "\r\n");
    EXPECT_EQ(cli({"palindromes"}, copy).lines(), (QStringList{"pots", "stop"}));

    ASSERT_TRUE(QFile::remove(other));
    EXPECT_TRUE(failedWithOneLine(cli({"palindromes"}, copy), "the one the Lexivo window last had open"));
}

TEST_F(CliTest, CtrlCStopsAnImportAfterTheCurrentWordAndKeepsWhatWasStored) {
    constexpr int kListWords = 400000;
    const QString listPath = path("big.txt");
    WriteFile(listPath, WordListBytes(GeneratedWords(kListWords, 3)));

    CliOptions interrupted;
    interrupted.whileRunning = [this](QProcess& process) {
        // Once the first batch is stored, the interrupt handler is in place.
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
