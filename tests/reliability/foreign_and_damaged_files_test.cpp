// Files the program did not write as it writes them. Copies of a small word database with random bytes changed,
// each loaded and searched in every mode, checked, exported and rebuilt: nothing may crash (the sanitizer build
// runs the full thousand copies in `make stress`), and every failure must reach the user as a message with its
// reason; copy n is the n-th draw of a fixed seed. Files that are not word databases: through the command line
// (the window shares the same loading) one plain line naming the file and the reason, exit status 1, the file
// and its folder unchanged. Odd databases of other programs that do load (a key-less table without row ids, a
// table with triggers that refuse, a database in WAL mode, a word of a megabyte) serve every command or report
// why not.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class CorruptDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString original = dir.filePath("original.mdb");
        // Words that every mode finds something among.
        CreateWordDatabase(original, QStringList{"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't",
                                                 "cafe", "letter", "a", "noon", "Ball", "ice-cream"} +
                                         GeneratedWords(400, 3));
        pristine = ReadFile(original);
    }

    // Copy n: a few bytes changed anywhere (a quarter of them in the header and schema page), a burst of bytes
    // overwritten, a whole page wiped or scrambled, or the file cut short.
    QByteArray corrupted(std::uint32_t seed) const {
        std::mt19937 random(seed);
        QByteArray bytes = pristine;
        const auto size = bytes.size();
        constexpr qsizetype kPage = 4096;
        const auto anywhere = [&](qsizetype span) {
            return static_cast<qsizetype>(random() % std::max<qsizetype>(span, 1));
        };
        const auto scramble = [&](qsizetype start, qsizetype length, bool wipe) {
            for (qsizetype i = start; i < std::min(start + length, size); ++i)
                bytes[i] = wipe ? '\0' : static_cast<char>(random() & 0xFF);
        };
        switch (seed % 4) {
            case 0:
                for (int i = 0, changes = 1 + static_cast<int>(random() % 16); i < changes; ++i)
                    scramble(anywhere(random() % 4 == 0 ? std::min(size, kPage) : size), 1, false);
                break;
            case 1:
                scramble(anywhere(size), 16 + anywhere(240), false);
                break;
            case 2: {
                const qsizetype page = anywhere(size / kPage) * kPage;
                scramble(page, kPage, random() % 2 == 0);
                break;
            }
            default:
                bytes.truncate(anywhere(size / kPage) * kPage + (random() % 2 == 0 ? 0 : anywhere(kPage)));
                break;
        }
        return bytes;
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QByteArray pristine;
};

TEST_F(CorruptDatabases, EveryCopyIsRefusedOrServedAndEveryFailureIsReported) {
    const int copies = TrialSize(100, 1000);
    const std::uint32_t seed = TrialSeed(424242);
    const QString path = dir.filePath("copy.mdb");
    const QString exported = dir.filePath("export.txt");
    int refusedAtLoad = 0, commandsRun = 0, commandsFailed = 0, unreported = 0;
    for (int n = 0; n < copies; ++n) {
        SCOPED_TRACE(n);
        WriteFile(path, corrupted(seed + static_cast<std::uint32_t>(n)));
        DatabaseState state;
        state.DatabasePath = path;
        RecordingView view;
        const Outcome load = RunCommand([&](ScriptedDialogs& d, FakeRun&) { LoadDatabase(state, view, d); });
        if (!state.loaded()) {
            // Refused: one failure message that names the file.
            ++refusedAtLoad;
            const bool told = !load.threw && !load.failures.isEmpty() && load.shown.last() == load.failures.last() &&
                              load.failures.last().contains(path);
            EXPECT_TRUE(told) << load.describe().toStdString();
            if (!told) ++unreported;
            continue;
        }
        Connection& db = state.CurrentDatabase;
        db.setBusyTimeout(0);
        std::vector<std::function<void(ScriptedDialogs&, FakeRun&)>> commands;
        const std::pair<SearchMode, QString> modes[] = {
            {SearchMode::Anagram, "tea"}, {SearchMode::Synogram, "level"}, {SearchMode::Letters, "ea"},
            {SearchMode::Mask, "c@#*"},   {SearchMode::Palindrome, ""},    {SearchMode::Add, "newword"},
            {SearchMode::Delete, "stop"},
        };
        for (const auto& [mode, input] : modes)
            commands.push_back([&](ScriptedDialogs& d, FakeRun& r) {
                SearchRequest request = Request(mode, input, true);
                request.minimumLength = 1;
                request.maximumLength = 12;
                DriverSearch(db, request, r, d.yes());
            });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db, r, d.no()); });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) {
            ExportWords(
                db, exported, false, [] { return WordFilter(); }, r, d);
        });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db, r, d); });
        for (const auto& command : commands) {
            const Outcome outcome = RunCommand(command);
            ++commandsRun;
            if (!outcome.allFailures().isEmpty()) ++commandsFailed;
            for (const QString& failure : outcome.allFailures())
                if (failure.trimmed().isEmpty()) ++unreported;
        }
        EXPECT_FALSE(db.inTransaction());
    }
    std::printf(
        "[ figure ] corrupt databases (seed %u): %d copies, 0 crashes; %d refused at load with a message; %d "
        "commands run on the others, %d failed with a message, %d failures unreported\n",
        seed, copies, refusedAtLoad, commandsRun, commandsFailed, unreported);
    EXPECT_EQ(unreported, 0);
}

// The command line on corrupt copies: every run ends with status 0 or 1 (never a signal), a failure with a
// message on standard error.
TEST_F(CorruptDatabases, TheCommandLineEndsCleanlyOnEveryCopy) {
    const QString path = dir.filePath("copy.mdb");
    const QStringList commands[] = {{"anagram", "tea"}, {"letters", "ea"}, {"mask", "c@#*"},
                                    {"palindromes"},    {"stats"},         {"check"}};
    const int copies = TrialSize(40, 150);
    int runs = 0, failed = 0;
    for (int n = 0; n < copies; ++n) {
        SCOPED_TRACE(n);
        const QByteArray bytes = corrupted(TrialSeed(5150) + static_cast<std::uint32_t>(n));
        for (const QStringList& command : commands) {
            WriteFile(path, bytes);
            QString output;
            const int status = RunCli(command + QStringList{"--db", path}, &output);
            ++runs;
            ASSERT_GE(status, 0);
            EXPECT_LE(status, 1) << output.toStdString();
            if (status != 0) {
                ++failed;
                EXPECT_TRUE(output.contains("lexivo-cli: ")) << output.toStdString();
            }
        }
    }
    std::printf(
        "[ figure ] corrupt databases through lexivo-cli: %d runs on %d copies, 0 signals, %d ended with a "
        "message and status 1\n",
        runs, copies, failed);
}

class NotAWordDatabase : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString made(const QString& name, const QStringList& statements) {
        const QString path = dir.filePath(name);
        Connection db = Connection::create(path);
        for (const QString& s : statements) db.execute(s);
        return path;
    }
    QStringList folderEntries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System);
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
};

TEST_F(NotAWordDatabase, TheCommandLineSaysSoAndLeavesTheFileAlone) {
    QByteArray truncated;
    {
        const QString good = dir.filePath("good.mdb");
        CreateWordDatabase(good, GeneratedWords(300, 5));
        truncated = ReadFile(good).left(5000);
        QFile::remove(good);
    }
    QByteArray random(8192, 0);
    std::mt19937 generator(99);
    for (char& c : random) c = static_cast<char>(generator() & 0xFF);
    const QByteArray header = QByteArray("SQLite format 3", 16) + random.left(4000);

    // Each file, and the reason its message must give (where the reason is certain).
    std::vector<std::pair<QString, QString>> files;
    const auto write = [&](const QString& name, const QByteArray& bytes, const QString& reason = {}) {
        WriteFile(dir.filePath(name), bytes);
        files.emplace_back(dir.filePath(name), reason);
    };
    write("empty.mdb", {});
    write("text.mdb", "apple\r\npear\r\n", "Unable to open the word database");
    write("truncated.mdb", truncated);
    write("random.mdb", random);
    write("header-only.mdb", header);
    files.emplace_back(made("no-dictionary.mdb", {"CREATE TABLE notes (body TEXT)"}), "It has no table Dictionary");
    files.emplace_back(made("integer-word.mdb", {"CREATE TABLE Dictionary (ID INTEGER, Word INTEGER)"}), "");
    files.emplace_back(made("view.mdb", {"CREATE TABLE t (Word TEXT)", "CREATE VIEW Dictionary AS SELECT Word FROM t"}),
                       "");
    const QString fifo = dir.filePath("fifo.mdb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    files.emplace_back(fifo, "");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.mdb")));
    files.emplace_back(dir.filePath("folder.mdb"), "Unable to open the word database");
    files.emplace_back(dir.filePath("nowhere.mdb"), "does not exist");

    const QStringList before = folderEntries();
    for (const auto& [file, reason] : files) {
        SCOPED_TRACE(file.toStdString());
        const QFileInfo info(file);
        const QByteArray bytes = info.isFile() ? ReadFile(file) : QByteArray();
        QString output;
        EXPECT_EQ(RunCli({"anagram", "tea", "--db", file}, &output), 1) << output.toStdString();
        const QString message = output.trimmed();
        EXPECT_TRUE(message.startsWith("lexivo-cli: ") && !message.contains('\n')) << message.toStdString();
        EXPECT_TRUE(message.contains(file)) << message.toStdString();
        EXPECT_TRUE(message.contains(reason)) << message.toStdString();
        EXPECT_GT(message.size(), file.size() + 30) << "no reason given: " << message.toStdString();
        if (info.isFile()) {
            EXPECT_EQ(ReadFile(file), bytes);
        }
    }
    EXPECT_EQ(folderEntries(), before);
}

// Every command on an odd database: no crash, no exception but the engine's, a failure always with its reason.
int RunEveryCommand(const QString& path, const QString& list, const QString& out) {
    DatabaseState state;
    state.DatabasePath = path;
    RecordingView view;
    const Outcome load = RunCommand([&](ScriptedDialogs& d, FakeRun&) { LoadDatabase(state, view, d); });
    EXPECT_TRUE(state.loaded()) << load.describe().toStdString();
    if (!state.loaded()) return 0;
    Connection& db = state.CurrentDatabase;
    int failures = 0;
    const auto run = [&](const char* name, const std::function<void(ScriptedDialogs&, FakeRun&)>& command) {
        SCOPED_TRACE(name);
        const Outcome outcome = RunCommand(command);
        EXPECT_FALSE(outcome.threw && outcome.thrown.isEmpty());
        for (const QString& failure : outcome.failures) EXPECT_GT(failure.size(), 30) << failure.toStdString();
        failures += static_cast<int>(outcome.allFailures().size());
        EXPECT_FALSE(db.inTransaction());
    };
    const auto search = [&](SearchMode mode, const QString& input) {
        run("search",
            [&](ScriptedDialogs& d, FakeRun& r) { DriverSearch(db, Request(mode, input, true), r, d.yes()); });
    };
    for (SearchMode mode :
         {SearchMode::Anagram, SearchMode::Synogram, SearchMode::Letters, SearchMode::Mask, SearchMode::Palindrome})
        search(mode, "tea");
    search(SearchMode::Add, "newword");
    search(SearchMode::Delete, "tea");
    const auto noFilter = [] { return WordFilter(); };
    run("import", [&](ScriptedDialogs& d, FakeRun& r) { ImportWords(db, list, true, noFilter, r, d); });
    run("export", [&](ScriptedDialogs& d, FakeRun& r) { ExportWords(db, out, false, noFilter, r, d); });
    run("add", [&](ScriptedDialogs& d, FakeRun&) { AddWord(db, "another", d.yes()); });
    run("delete", [&](ScriptedDialogs& d, FakeRun&) { DeleteWords(db, {"eat"}, d); });
    run("check", [&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db, r, d.yes()); });
    run("quick", [&](ScriptedDialogs& d, FakeRun& r) { QuickRebuild(db, r, d); });
    run("rebuild", [&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db, r, d); });
    db.close();
    EXPECT_EQ(IntegrityCheck(path), "ok");
    return failures;
}

TEST_F(NotAWordDatabase, OddDatabasesFromOtherProgramsServeOrSayWhy) {
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "fresh\r\nwords\r\n");
    const QString out = dir.filePath("out.txt");
    const QString columns = "ID INTEGER, Letters TEXT, Sorted TEXT, Word TEXT COLLATE NOCASE";
    const QString rows =
        "INSERT INTO Dictionary (Word, Sorted, Letters) VALUES ('tea','tea','tea'), "
        "('eat','tea','tea'), ('level','vllee','vle')";

    struct Case {
        const char* name;
        QStringList statements;
        bool mayFail;  // some commands cannot work on it, and must say so
    };
    const Case cases[] = {
        {"without row ids",
         {"CREATE TABLE Dictionary (" + columns + ", PRIMARY KEY (Word)) WITHOUT ROWID", rows},
         true},
        {"refusing triggers",
         {"CREATE TABLE Dictionary (" + columns + ")", rows,
          "CREATE TRIGGER no_insert BEFORE INSERT ON Dictionary BEGIN SELECT RAISE(ABORT, 'no new words here'); END",
          "CREATE TRIGGER no_update BEFORE UPDATE ON Dictionary BEGIN SELECT RAISE(ABORT, 'keys are fixed'); END"},
         true},
        {"write-ahead log", {"PRAGMA journal_mode=WAL", "CREATE TABLE Dictionary (" + columns + ")", rows}, false},
        {"a word of a megabyte, blobs and nulls",
         {"CREATE TABLE Dictionary (" + columns + ")", rows,
          "INSERT INTO Dictionary (Word) VALUES (printf('%.*c', 1000000, 'x'))",
          "INSERT INTO Dictionary (Word, Sorted, Letters) VALUES (X'FFFE00', X'00', NULL), (NULL, NULL, NULL)"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int failures = RunEveryCommand(made(QString(c.name).replace(' ', '-') + ".mdb", c.statements), list, out);
        if (!c.mayFail) {
            EXPECT_EQ(failures, 0);
        }
        std::printf("[ figure ] odd database, %s: every command ran; %d failed with their reason\n", c.name, failures);
    }
}

}  // namespace
}  // namespace lexivo
