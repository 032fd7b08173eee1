// Another program holding the word database, or a database the user may not write. Held: reading in a
// transaction (a shared lock), writing in one (a reserved lock), or exclusively; every command that writes
// reports the reason within a bounded wait and leaves the file as it was, the program's connection is never left
// inside a transaction (so nothing is reported stored that is not), and searches go on wherever the lock lets
// them read. Read-only: the program runs as a user without the right to change the file or its folder (as root
// permission bits would be ignored, the child then runs as "nobody"); every command that writes says so, with
// the reason, the searches and the export work, the file and its folder are unchanged.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/compaction.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

const QStringList kWords = {"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't", "letter"};

enum class Lock { Shared, Reserved, Exclusive };

constexpr int kBusyMs = 100;
// However the lock is taken, a command gives up and reports within this time: compaction may wait twice for
// the engine's own busy timeout of 3 s (for the copy, then for the reload).
constexpr qint64 kBoundMs = 8000;

class LockedDatabase : public ::testing::TestWithParam<Lock> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        CreateWordDatabase(path, kWords);
        {
            // Two rows without keys, so that the check and the quick re-build have something to write.
            Connection c = Connection::open(path);
            c.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL WHERE [Word] IN ('cook','cask')");
        }
        OpenWordDatabase(state, path);
        listPath = dir.filePath("list.txt");
        WriteFile(listPath, "alpha\r\nbeta\r\ngamma\r\n");
        before = ReadFile(path);

        holder = Connection::open(path);
        holder.setBusyTimeout(0);
        const char* const begin[] = {"BEGIN", "BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"};
        holder.execute(begin[static_cast<int>(GetParam())]);
        holder.scalar("SELECT COUNT(*) FROM [Dictionary]");  // a read in a transaction keeps its lock to the end
        db().setBusyTimeout(kBusyMs);
    }
    Connection& db() { return state.CurrentDatabase; }

    // Runs a command and checks that it reported a lock, with its reason, within the bound.
    void expectRefused(const char* name, const std::function<void(ScriptedDialogs&, FakeRun&)>& command,
                       int maxFailures = 1) {
        SCOPED_TRACE(name);
        const Outcome outcome = RunCommand(command);
        EXPECT_LT(outcome.milliseconds, kBoundMs);
        const QStringList failures = outcome.allFailures();
        ASSERT_GE(failures.size(), 1) << outcome.describe().toStdString();
        EXPECT_LE(failures.size(), maxFailures) << failures.join('\n').toStdString();
        for (const QString& failure : failures)
            EXPECT_TRUE(failure.contains("database is locked")) << failure.toStdString();
        EXPECT_FALSE(outcome.shown.contains("OK!"));
        EXPECT_FALSE(db().inTransaction()) << "the connection was left inside a transaction";
    }
    void search(SearchMode mode, const QString& input, Dialogs& dialogs, FakeRun& run) {
        DriverSearch(db(), Request(mode, input), run, dialogs);
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
    QString listPath;
    QByteArray before;
    DatabaseState state;
    Connection holder;
};

TEST_P(LockedDatabase, EveryWritingCommandReportsItAndTheFileIsUnchanged) {
    const auto noFilter = [] { return WordFilter(); };
    expectRefused("import, appending",
                  [&](ScriptedDialogs& d, FakeRun& r) { ImportWords(db(), listPath, true, noFilter, r, d); });
    expectRefused("import, replacing",
                  [&](ScriptedDialogs& d, FakeRun& r) { ImportWords(db(), listPath, false, noFilter, r, d); });
    expectRefused("add", [&](ScriptedDialogs& d, FakeRun&) { AddWord(db(), "newword", d.yes()); });
    expectRefused("delete", [&](ScriptedDialogs& d, FakeRun&) { DeleteWords(db(), {"tea", "stop"}, d); });
    expectRefused("find and add",
                  [&](ScriptedDialogs& d, FakeRun& r) { search(SearchMode::Add, "newword", d.yes(), r); });
    expectRefused("find and delete",
                  [&](ScriptedDialogs& d, FakeRun& r) { search(SearchMode::Delete, "tea", d.yes(), r); });
    expectRefused("complete rebuild", [&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db(), r, d); });
    expectRefused("quick re-build", [&](ScriptedDialogs& d, FakeRun& r) { QuickRebuild(db(), r, d); });
    expectRefused("check and quick re-build", [&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db(), r, d.yes()); });
    expectRefused("clear", [&](ScriptedDialogs&, FakeRun&) { RemoveAllWords(db()); });
    EXPECT_EQ(ReadFile(path), before);

    // Searches read: they work unless the other program holds the file exclusively.
    const std::pair<SearchMode, QString> reads[] = {{SearchMode::Anagram, "tea"},
                                                    {SearchMode::Synogram, "tea"},
                                                    {SearchMode::Letters, "te"},
                                                    {SearchMode::Mask, "c@@k"},
                                                    {SearchMode::Palindrome, ""}};
    for (const auto& [mode, input] : reads) {
        SCOPED_TRACE(static_cast<int>(mode));
        if (GetParam() == Lock::Exclusive) {
            expectRefused("search", [&](ScriptedDialogs& d, FakeRun& r) { search(mode, input, d, r); });
        } else {
            ScriptedDialogs dialogs;
            FakeRun run;
            EXPECT_GT(DriverSearch(db(), Request(mode, input), run, dialogs), 0);
            EXPECT_TRUE(dialogs.shown().empty());
        }
    }

    if (GetParam() != Lock::Shared) {
        // A reader of the file does not stop its compacted copy from being made; a writer does, or its write
        // would go into the file that the copy replaces. After Abort the database is loaded again, if the lock
        // lets it be read (else that is reported too, and no database is loaded).
        expectRefused(
            "compaction",
            [&](ScriptedDialogs& d, FakeRun&) {
                RecordingView view;
                d.choose(Dialogs::ErrorChoice::Abort);
                const CompactionResult result = CompactDatabase(state, view, d, dir.filePath("work"));
                EXPECT_FALSE(result.compacted);
                EXPECT_EQ(state.loaded(), GetParam() == Lock::Reserved);
            },
            2);
    }
    EXPECT_EQ(ReadFile(path), before);

    // Once the other program lets go, the same connection writes again, and only what it was told was stored.
    holder.rollback();
    EXPECT_EQ(ReadFile(path), before);
    if (!state.loaded()) OpenWordDatabase(state, path);
    ScriptedDialogs dialogs;
    EXPECT_EQ(AddWord(db(), "newword", dialogs.yes()), AddResult::Added);
    EXPECT_FALSE(db().inTransaction());
    state.CurrentDatabase.close();
    Connection reopened = Connection::open(path);
    EXPECT_EQ(IntegrityCheck(reopened), "ok");
    EXPECT_EQ(StoredWords(reopened), kWords + QStringList{"newword"});
}

std::string lockName(const ::testing::TestParamInfo<Lock>& param) {
    const char* const names[] = {"Reading", "Writing", "Exclusive"};
    return names[static_cast<int>(param.param)];
}

INSTANTIATE_TEST_SUITE_P(ByAnotherProgram, LockedDatabase,
                         ::testing::Values(Lock::Shared, Lock::Reserved, Lock::Exclusive), lockName);

const QFile::Permissions kReadable =
    QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
const QFile::Permissions kEverything = kReadable | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;

// The folder only its owner may change: the unprivileged user when not root, "nobody" when root.
void MakeFolderReadOnly(const QString& folder) {
    QFile::setPermissions(folder, ::geteuid() == 0 ? kReadable | QFile::WriteOwner : kReadable);
}

TEST(ReadOnlyDatabase, WritingCommandsSaySoAndSearchesWork) {
    const std::optional<ChildOptions> options = UnprivilegedOptions();
    if (!options) GTEST_SKIP() << "no unprivileged user that can run " << ChildProgram().toStdString();
    QTemporaryDir dir(MemoryFolderTemplate());
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("words.mdb");
    CreateWordDatabase(path, kWords);
    {
        Connection c = Connection::open(path);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL WHERE [Word]='cask'");
    }
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "alpha\r\nbeta\r\n");
    const QString out = dir.filePath("out");
    const QString work = dir.filePath("work");
    for (const QString& folder : {out, work}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, kEverything);
    }
    MakeFolderReadOnly(dir.path());
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QByteArray before = ReadFile(path);
    const QStringList entriesBefore =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    // The commands that write, then those that only read; the child runs them all, one after the other.
    const std::vector<QStringList> writing = WritingChildCommands(list, work, "tea");
    const std::vector<QStringList> reading = {{"search", "Anagram", "tea"}, {"search", "Synogram", "tea"},
                                              {"search", "Letters", "te"},  {"search", "Mask", "c@@k"},
                                              {"search", "Palindrome", ""}, {"export", out + "/words.txt", "0"}};
    std::vector<QStringList> steps = writing;
    steps.insert(steps.end(), reading.begin(), reading.end());
    QStringList args{path};
    for (const QStringList& step : steps) args << step << ";";
    const ChildReport report = RunChild(args, *options);
    QFile::setPermissions(dir.path(), kEverything);  // so that the folder can be removed
    ASSERT_TRUE(report.exitedNormally()) << report.describe().toStdString();

    // The report, command by command: the load, each step, and the end.
    std::vector<ChildReport> groups(1);
    for (const QString& line : report.lines) {
        groups.back().lines << line;
        if (line.startsWith("done ")) groups.emplace_back();
    }
    ASSERT_EQ(groups.size(), steps.size() + 2) << report.describe().toStdString();
    EXPECT_TRUE(groups[0].lines.contains("view loaded words.mdb")) << groups[0].describe().toStdString();
    for (size_t i = 0; i < steps.size(); ++i) {
        const ChildReport& step = groups[i + 1];
        SCOPED_TRACE(steps[i].join(' ').toStdString() + "\n" + step.describe().toStdString());
        EXPECT_EQ(step.with("state"), QStringList{"idle"});
        if (i < writing.size()) {
            ASSERT_EQ(step.failures().size(), 1);
            // In the program's words, never the engine's "attempt to write a readonly database".
            EXPECT_TRUE(step.failures()[0].contains("read-only"));
            EXPECT_FALSE(step.with("dialog notice").contains("OK!"));
        } else {
            EXPECT_TRUE(step.failures().isEmpty());
            if (steps[i][0] == "search") {
                EXPECT_GT(step.with("found").value(0).toInt(), 0);
            }
        }
    }
    EXPECT_EQ(ReadFile(out + "/words.txt"),
              "ate\r\ncask\r\ncook\r\ndon't\r\neat\r\nletter\r\nlevel\r\npots\r\nstop\r\ntea\r\n");
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entriesBefore);
}

// Another program killed in the middle of a large change leaves its journal beside the file, with the changed
// pages already written; a user who may not write the file cannot roll the change back, so the database is
// refused with the reason. The next open that may write recovers it.
TEST(ReadOnlyDatabase, AnUnfinishedChangeThatCannotBeRolledBackIsReported) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    if (tool.isEmpty()) GTEST_SKIP() << "no sqlite3 tool";
    if (::geteuid() != 0) GTEST_SKIP() << "needs to run the child as another user";
    const std::optional<ChildOptions> options = UnprivilegedOptions();
    if (!options) GTEST_SKIP() << "no unprivileged user that can run " << ChildProgram().toStdString();
    QTemporaryDir dir(MemoryFolderTemplate());
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("words.mdb");
    const QStringList words = GeneratedWords(20000, 13);
    CreateWordDatabase(path, words);
    // A tiny cache makes the tool (with the program's extension, which the Word index needs) write changed pages
    // into the file before its commit; then it is killed while it counts for ever.
    ChildProcess other({"-cmd", ".load " LEXIVO_SQLITE_EXTENSION, path,
                        "PRAGMA cache_size=5; BEGIN; UPDATE Dictionary SET Word = Word || 'x'; WITH RECURSIVE "
                        "c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT COUNT(*) FROM c;"},
                       {}, tool);
    for (int i = 0; i < 200 && QFileInfo(path + "-journal").size() < 100000; ++i) ::usleep(50000);
    ::usleep(200000);
    other.finish(0);
    ASSERT_GT(QFileInfo(path + "-journal").size(), 100000) << "no journal of the change";

    MakeFolderReadOnly(dir.path());
    const QByteArray before = ReadFile(path);
    const ChildReport report = RunChild({path, "count"}, *options);
    const QStringList failures = report.with("dialog failure");
    ASSERT_EQ(failures.size(), 1) << report.describe().toStdString();
    EXPECT_TRUE(failures[0].contains(path)) << failures[0].toStdString();
    EXPECT_TRUE(report.with("view").contains("none"));
    EXPECT_EQ(ReadFile(path), before);

    DatabaseState state;
    OpenWordDatabase(state, path);
    EXPECT_EQ(IntegrityCheck(state.CurrentDatabase), "ok");
    EXPECT_EQ(StoredWords(state.CurrentDatabase), words);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
    std::printf(
        "[ figure ] an unfinished change the user cannot roll back: refused with \"%s\"; recovered at the "
        "next writable open\n",
        qPrintable(failures[0].section(QLatin1Char('\n'), -1)));
}

}  // namespace
}  // namespace lexivo
