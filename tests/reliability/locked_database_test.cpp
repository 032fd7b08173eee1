// Another program holding the word database: reading in a transaction (a shared lock), writing in one (a
// reserved lock), or holding it exclusively. Every command that writes reports the reason within a bounded
// wait and leaves the file as it was; the program's connection is never left inside a transaction, so that
// nothing is reported stored that is not; searches go on wherever the lock lets them read.

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

enum class Lock { Shared, Reserved, Exclusive };

constexpr int kBusyMs = 100;
// However the lock is taken, a command gives up and reports within this time: compaction may wait twice for
// the engine's own busy timeout of 3 s (for the copy, then for the reload).
constexpr qint64 kBoundMs = 8000;

const QStringList kWords = {"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't", "letter"};

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
    void search(const QString& mode, const QString& input, Dialogs& dialogs, FakeRun& run) {
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
    expectRefused("find and add", [&](ScriptedDialogs& d, FakeRun& r) { search(kModeAdd, "newword", d.yes(), r); });
    expectRefused("find and delete", [&](ScriptedDialogs& d, FakeRun& r) { search(kModeDelete, "tea", d.yes(), r); });
    expectRefused("complete rebuild", [&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db(), r, d); });
    expectRefused("quick re-build", [&](ScriptedDialogs& d, FakeRun& r) { QuickRebuild(db(), r, d); });
    expectRefused("check and quick re-build", [&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db(), r, d.yes()); });
    expectRefused("clear", [&](ScriptedDialogs&, FakeRun&) { db().execute("DELETE * FROM Dictionary"); });
    EXPECT_EQ(ReadFile(path), before);

    // Searches read: they work unless the other program holds the file exclusively.
    const std::pair<QString, QString> reads[] = {{kModeAnagram, "tea"},
                                                 {kModeSynogram, "tea"},
                                                 {kModeLetters, "te"},
                                                 {kModeMask, "c@@k"},
                                                 {kModePalindrome, ""}};
    for (const auto& [mode, input] : reads) {
        SCOPED_TRACE(mode.toStdString());
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

}  // namespace
}  // namespace lexivo
