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
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class KilledMaintenance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        work = dir.filePath("program");
        ASSERT_TRUE(QDir().mkpath(work));
        words = GeneratedWords(40000, 21);
    }
    // The child's whole run, to spread the kills over.
    double wholeRun(const QString& path, const QStringList& command) {
        ChildProcess child(command);
        const ChildReport report = child.finish();
        EXPECT_TRUE(report.exitedNormally()) << report.describe().toStdString();
        EXPECT_TRUE(report.with("dialog failure").isEmpty()) << report.describe().toStdString();
        EXPECT_EQ(IntegrityCheck(path), "ok");
        return child.elapsedSeconds();
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString work;
    QStringList words;
};

TEST_F(KilledMaintenance, CompactionLeavesAWholeDatabaseUnderItsName) {
    const QString path = dir.filePath("words.mdb");
    CreateWordDatabase(path, words);
    {
        // Free pages to give back: every other word deleted.
        Connection c = Connection::open(path);
        c.execute("DELETE FROM [Dictionary] WHERE rowid % 2 = 0");
    }
    QStringList kept;
    for (int i = 0; i < words.size(); i += 2) kept << words[i];
    const QByteArray original = FileBytes(path);
    const QStringList command{path, "compact", work};
    const double whole = wholeRun(path, command);

    const int kills = TrialSize(20, 60);
    std::mt19937 random(777);
    int sound = 0, compacted = 0, leftovers = 0;
    for (int k = 0; k < kills; ++k) {
        SCOPED_TRACE(k);
        WriteFile(path, original);
        ChildProcess child(command);
        child.finish(std::uniform_real_distribution<double>(0.0, whole)(random));
        EXPECT_EQ(IntegrityCheck(path), "ok");
        if (FileBytes(path).size() < original.size()) ++compacted;
        if (!QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty()) ++leftovers;
        DatabaseState state;
        OpenWordDatabase(state, path);
        if (!state.loaded()) continue;
        EXPECT_EQ(StoredWords(state.CurrentDatabase), kept);
        // The next compaction clears what the killed one left behind.
        ScriptedDialogs dialogs;
        RecordingView view;
        EXPECT_TRUE(CompactDatabase(state, view, dialogs, work).compacted) << dialogs.texts().join('\n').toStdString();
        EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_EQ(WordCount(state.CurrentDatabase), kept.size());
        if (!HasFailure()) ++sound;
    }
    std::printf(
        "[ figure ] killed compaction: %d/%d kills left a sound database with every word under its name "
        "(%d already compacted, %d left an intermediate file that the next compaction removed)\n",
        sound, kills, compacted, leftovers);
    EXPECT_EQ(sound, kills);
}

TEST_F(KilledMaintenance, CompleteRebuildLeavesEveryKeyRightOrMissing) {
    const QString path = dir.filePath("words.mdb");
    CreateWordDatabase(path, words);
    {
        Connection c = Connection::open(path);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
    }
    const QByteArray original = FileBytes(path);
    const QStringList command{"--batch", "2000", path, "rebuild"};
    const double whole = wholeRun(path, command);

    const int kills = TrialSize(10, 40);
    std::mt19937 random(778);
    int sound = 0;
    qint64 rebuiltRows = 0;
    for (int k = 0; k < kills; ++k) {
        SCOPED_TRACE(k);
        WriteFile(path, original);
        ChildProcess child(command);
        child.finish(std::uniform_real_distribution<double>(0.0, whole)(random));
        EXPECT_EQ(IntegrityCheck(path), "ok");
        DatabaseState state;
        OpenWordDatabase(state, path);
        if (!state.loaded()) continue;
        Connection& db = state.CurrentDatabase;
        EXPECT_EQ(StoredWords(db), words);
        const qint64 missing = db.scalar("SELECT COUNT(*) FROM [Dictionary] WHERE [Sorted] IS NULL");
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM [Dictionary] WHERE [Letters] IS NULL"), missing);
        EXPECT_EQ(RowsWithWrongKeys(db), missing);  // the only unsound keys are the missing ones
        const QStringList indexes = db.indexNames("Dictionary");
        for (const char* index : {"Word", "Sorted", "Letters"})
            EXPECT_TRUE(indexes.contains(index, Qt::CaseInsensitive)) << index;
        rebuiltRows += words.size() - missing;
        if (!HasFailure()) ++sound;
    }
    std::printf(
        "[ figure ] killed complete rebuild: %d/%d kills sound, every key right or still missing (%lld rows "
        "rebuilt before the kills in all)\n",
        sound, kills, static_cast<long long>(rebuiltRows));
    EXPECT_EQ(sound, kills);
}

}  // namespace
}  // namespace lexivo
