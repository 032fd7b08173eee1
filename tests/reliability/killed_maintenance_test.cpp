// Compaction and the complete rebuild killed at random moments. Under the database's own name there is always a
// whole, sound database with every word (compaction replaces it by one rename); a rebuild's keys are each either
// right or still missing, never wrong; loading opens it normally; a compaction's leftovers go with the next one.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/compaction.h"
#include "store/current_database.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class KilledMaintenance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        work = dir.filePath("program");
        ASSERT_TRUE(QDir().mkpath(work));
        words = GeneratedWords(40000, 21);
        CreateWordDatabase(path, words);
    }

    // Runs the command once whole (it must succeed), then kills it at random moments of a run that long, each
    // time on the database as it was; check sees the database that the kill left, loaded.
    void killTrial(const QStringList& command, int kills, std::uint32_t seed,
                   const std::function<void(DatabaseState&)>& check) {
        const QByteArray original = ReadFile(path);
        ChildProcess wholeRun(command);
        const ChildReport report = wholeRun.finish();
        const double whole = wholeRun.elapsedSeconds();
        ASSERT_TRUE(report.exitedNormally()) << report.describe().toStdString();
        ASSERT_TRUE(report.failures().isEmpty()) << report.describe().toStdString();
        ASSERT_EQ(IntegrityCheck(path), "ok");
        std::mt19937 random(TrialSeed(seed));
        for (int k = 0; k < kills; ++k) {
            SCOPED_TRACE(k);
            WriteFile(path, original);
            ChildProcess child(command);
            child.finish(std::uniform_real_distribution<double>(0.0, whole)(random));
            EXPECT_EQ(IntegrityCheck(path), "ok");
            DatabaseState state;
            OpenWordDatabase(state, path);
            if (state.loaded()) check(state);
        }
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
    QString work;
    QStringList words;
};

TEST_F(KilledMaintenance, CompactionLeavesAWholeDatabaseUnderItsName) {
    {
        // Free pages to give back: every other word deleted.
        Connection c = Connection::open(path);
        c.execute("DELETE FROM [Dictionary] WHERE rowid % 2 = 0");
    }
    QStringList kept;
    for (int i = 0; i < words.size(); i += 2) kept << words[i];
    const qint64 size = QFileInfo(path).size();
    int compacted = 0, leftovers = 0;
    killTrial({path, "compact", work}, TrialSize(20, 60), 777, [&](DatabaseState& state) {
        if (QFileInfo(path).size() < size) ++compacted;
        if (!QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty()) ++leftovers;
        EXPECT_EQ(StoredWords(state.CurrentDatabase), kept);
        // The next compaction clears what the killed one left behind.
        RecordingView view;
        const Outcome next = RunCommand(
            [&](ScriptedDialogs& d, FakeRun&) { EXPECT_TRUE(CompactDatabase(state, view, d, work).compacted); });
        EXPECT_TRUE(next.failures.isEmpty()) << next.describe().toStdString();
        EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_EQ(WordCount(state.CurrentDatabase), kept.size());
    });
    std::printf(
        "[ figure ] killed compaction: every kill left a sound database with every word under its name (%d "
        "already compacted, %d left an intermediate file that the next compaction removed)\n",
        compacted, leftovers);
}

TEST_F(KilledMaintenance, CompleteRebuildLeavesEveryKeyRightOrMissing) {
    {
        Connection c = Connection::open(path);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
    }
    qint64 rebuiltRows = 0;
    killTrial({"--batch", "2000", path, "rebuild"}, TrialSize(10, 40), 778, [&](DatabaseState& state) {
        EXPECT_EQ(StoredWords(state.CurrentDatabase), words);
        rebuiltRows += words.size() - ExpectKeysRightOrMissing(state.CurrentDatabase);
    });
    std::printf(
        "[ figure ] killed complete rebuild: every key right or still missing after each kill (%lld rows rebuilt "
        "before the kills in all)\n",
        static_cast<long long>(rebuiltRows));
}

}  // namespace
}  // namespace lexivo
