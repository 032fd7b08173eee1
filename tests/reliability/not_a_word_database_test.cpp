// Files that are not word databases, or are odd ones made by other programs. Through the command line (the
// window shares the same loading): a plain message naming the file, exit status 1, no crash, the file and its
// folder unchanged. Odd databases that do load (a key-less table without row ids, a table with triggers that
// refuse, a database in WAL mode, a word of a megabyte) serve every command or report why not.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

const QString kCli = QStringLiteral(LEXIVO_BINARY_DIR "/lexivo-cli");

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
    if (!QFileInfo(kCli).isExecutable()) GTEST_SKIP() << "no lexivo-cli";
    QByteArray truncated;
    {
        const QString good = dir.filePath("good.mdb");
        CreateWordDatabase(good, GeneratedWords(300, 5));
        truncated = FileBytes(good).left(5000);
        QFile::remove(good);
    }
    QByteArray random(8192, 0);
    std::mt19937 generator(99);
    for (char& c : random) c = static_cast<char>(generator() & 0xFF);
    QByteArray header = "SQLite format 3";
    header.append('\0');
    header += random.left(4000);

    QStringList files;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        WriteFile(dir.filePath(name), bytes);
        files << dir.filePath(name);
    };
    write("empty.mdb", {});
    write("text.mdb", "apple\r\npear\r\n");
    write("truncated.mdb", truncated);
    write("random.mdb", random);
    write("header-only.mdb", header);
    files << made("no-dictionary.mdb", {"CREATE TABLE notes (body TEXT)"});
    files << made("integer-word.mdb", {"CREATE TABLE Dictionary (ID INTEGER, Word INTEGER)"});
    files << made("view.mdb", {"CREATE TABLE t (Word TEXT)", "CREATE VIEW Dictionary AS SELECT Word FROM t"});
    // A collation that only its own program knows: the stock engine cannot even read the schema's use of it.
    files << made("foreign-collation.mdb",
                  {"CREATE TABLE Dictionary (ID INTEGER, Word TEXT)", "PRAGMA writable_schema=ON",
                   "UPDATE sqlite_master SET sql='CREATE TABLE Dictionary (ID INTEGER, "
                   "Word TEXT COLLATE klingon)' WHERE name='Dictionary'"});
    const QString fifo = dir.filePath("fifo.mdb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    files << fifo;
    const QString folder = dir.filePath("folder.mdb");
    ASSERT_TRUE(QDir().mkpath(folder));
    files << folder;

    const QStringList before = folderEntries();
    int refused = 0;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QFileInfo info(file);
        const QByteArray bytes = info.isFile() ? FileBytes(file) : QByteArray();
        ChildProcess cli({"anagram", "tea", "--db", file}, {}, kCli);
        const ChildReport report = cli.finish(20.0);
        ASSERT_FALSE(report.killed) << "hung";
        ASSERT_TRUE(WIFEXITED(report.status)) << "ended by a signal: " << report.otherOutput.toStdString();
        EXPECT_EQ(WEXITSTATUS(report.status), 1) << report.otherOutput.toStdString();
        const QString message = report.otherOutput.trimmed();
        EXPECT_TRUE(message.contains(file)) << message.toStdString();
        EXPECT_GT(message.size(), file.size() + 20) << "no reason given: " << message.toStdString();
        if (info.isFile()) {
            EXPECT_EQ(FileBytes(file), bytes);
        }
        if (WIFEXITED(report.status) && WEXITSTATUS(report.status) == 1) ++refused;
    }
    EXPECT_EQ(folderEntries(), before);
    std::printf(
        "[ figure ] not a word database: %d/%d files refused by lexivo-cli with a message naming them, none "
        "changed\n",
        refused, static_cast<int>(files.size()));
}

// Every command on an odd database: no crash, no exception but the engine's, a failure always with its reason.
int RunEveryCommand(const QString& path, const QString& list, const QString& out) {
    DatabaseState state;
    state.DatabasePath = path;
    RecordingView view;
    ScriptedDialogs loadDialogs;
    EXPECT_TRUE(LoadDatabase(state, view, loadDialogs)) << loadDialogs.texts().join('\n').toStdString();
    if (!state.loaded()) return 0;
    Connection& db = state.CurrentDatabase;
    int failures = 0;
    auto run = [&](const char* name, const std::function<void(ScriptedDialogs&, FakeRun&)>& command) {
        SCOPED_TRACE(name);
        ScriptedDialogs dialogs;
        FakeRun fakeRun;
        try {
            command(dialogs, fakeRun);
        } catch (const Error& e) {
            EXPECT_FALSE(e.message().isEmpty());
            ++failures;
        }
        for (const auto& shown : dialogs.shown()) {
            if (shown.kind != ScriptedDialogs::Kind::Failure) continue;
            EXPECT_GT(shown.text.size(), 30) << shown.text.toStdString();
            ++failures;
        }
        EXPECT_EQ(fakeRun.begins, fakeRun.ends);
        EXPECT_FALSE(db.inTransaction());
    };
    auto search = [&](const QString& mode, const QString& input) {
        run("search", [&](ScriptedDialogs& d, FakeRun& r) {
            CallbackSink sink([](const QString&) {});
            r.beginRun(kStartingSearch);
            try {
                Transaction transaction(db);
                RunSearchMode(db, {mode, input, QString(), OrderClause(true)}, r, d.yes(), sink);
                transaction.commit();
            } catch (...) {
                r.endRun();
                throw;
            }
            r.endRun();
        });
    };
    for (const auto& mode : {kModeAnagram, kModeSynogram, kModeLetters, kModeMask, kModePalindrome})
        search(mode, "tea");
    search(kModeAdd, "newword");
    search(kModeDelete, "tea");
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
    const std::vector<Case> cases = {
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
        const QString path = made(QString(c.name).replace(' ', '-') + ".mdb", c.statements);
        const int failures = RunEveryCommand(path, list, out);
        if (!c.mayFail) {
            EXPECT_EQ(failures, 0);
        }
        std::printf("[ figure ] odd database, %s: every command ran; %d failed with their reason\n", c.name, failures);
    }
}

}  // namespace
}  // namespace lexivo
