// The long writing runs killed at random moments. Whatever the moment, the word database passes SQLite's
// integrity check and loading opens it normally. An import keeps every word of every batch committed before the
// kill (and the earlier words, while the batch that empties the table has not been committed); a complete
// rebuild leaves each key right or still missing, never wrong; a compaction leaves a whole database with every
// word under the database's own name (it replaces it by one rename), and its leftovers go with the next one.

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

constexpr int kListWords = 100000;
constexpr int kBatchRows = 10000;  // the child's batches: 10 of them in a whole import

TEST(KilledImport, EveryCommittedBatchSurvivesAKill) {
    QTemporaryDir dir(MemoryFolderTemplate());
    ASSERT_TRUE(dir.isValid());
    const QStringList list = GeneratedWords(kListWords, 8);
    QStringList earlier = GeneratedWords(500, 1234567);
    for (QString& w : earlier) w += QStringLiteral("zz");  // never one of the list's words
    const QString listPath = dir.filePath("list.txt");
    WriteFile(listPath, WordListBytes(list));
    const QString templatePath = dir.filePath("template.mdb");
    CreateWordDatabase(templatePath, earlier);
    const QString db = dir.filePath("words.mdb");
    const auto childArgs = [&](bool append) {
        QFile::remove(db);
        QFile::copy(templatePath, db);
        return QStringList{"--batch", QString::number(kBatchRows), "--report-commits", db, "import",
                           listPath,  append ? "1" : "0"};
    };

    // Whole runs first: they must complete, and their length spreads the kills over the whole import.
    double whole[2] = {};
    for (const bool append : {false, true}) {
        ChildProcess child(childArgs(append));
        const ChildReport report = child.finish();
        whole[append] = child.elapsedSeconds();
        EXPECT_TRUE(report.with("dialog notice")
                        .contains(QStringLiteral("Import Complete. %1 words imported,0 duplicates skipped, 0, blanks "
                                                 "skipped.")
                                      .arg(kListWords)))
            << report.describe().toStdString();
        DatabaseState state;
        OpenWordDatabase(state, db);
        EXPECT_EQ(WordCount(state.CurrentDatabase), kListWords + (append ? earlier.size() : 0));
    }
    ASSERT_FALSE(::testing::Test::HasFailure());

    const int kills = TrialSize(20, 50);
    std::mt19937 random(TrialSeed(20240607));
    int sound = 0, beforeFirstBatch = 0, finishedFirst = 0;
    for (int k = 1; k <= kills; ++k) {
        SCOPED_TRACE(k);
        // Half the runs replace the earlier words, half keep them.
        const bool append = k % 2 == 1;
        qint64 committed = -1;  // rows another connection saw, the last time it looked before the kill
        ChildProcess child(childArgs(append));
        ASSERT_TRUE(child.started());
        const ChildReport report =
            child.finish(std::uniform_real_distribution<double>(0.0, whole[append])(random), [&](const QString& line) {
                if (line.startsWith(QLatin1String("committed "))) committed = line.mid(10).toLongLong();
            });
        if (!report.killed) ++finishedFirst;

        // Checked as the kill left it, before anything opens it for writing; then loaded as the window loads it.
        EXPECT_EQ(IntegrityCheck(db), "ok");
        DatabaseState state;
        state.DatabasePath = db;
        RecordingView view;
        const Outcome load = RunCommand([&](ScriptedDialogs& d, FakeRun&) { LoadDatabase(state, view, d); });
        ASSERT_TRUE(state.loaded()) << load.describe().toStdString();
        EXPECT_TRUE(load.failures.isEmpty()) << load.describe().toStdString();
        const QStringList stored = StoredWords(state.CurrentDatabase);
        EXPECT_EQ(view.status, QStringLiteral("%1 words.").arg(stored.size()));

        // What the database holds: the earlier words (unless a committed batch replaced them), then a whole
        // number of batches of the list, in the list's order.
        const bool earlierKept = append || stored.mid(0, earlier.size()) == earlier;
        if (earlierKept) {
            EXPECT_EQ(stored.mid(0, earlier.size()), earlier);
        }
        const QStringList imported = earlierKept ? stored.mid(earlier.size()) : stored;
        EXPECT_EQ(imported, list.mid(0, imported.size()));
        EXPECT_TRUE(imported.size() % kBatchRows == 0 || imported.size() == kListWords) << imported.size();
        if (!append && earlierKept) {
            EXPECT_EQ(imported.size(), 0);  // the emptying comes with the first batch
        }
        // Nothing another connection saw committed may be missing.
        const qint64 committedImported = committed < 0 ? 0 : committed - (append || committed == 500 ? 500 : 0);
        EXPECT_GE(imported.size(), committedImported) << "committed " << committed;
        EXPECT_EQ(ExpectKeysRightOrMissing(state.CurrentDatabase), 0);

        if (imported.isEmpty()) ++beforeFirstBatch;
        if (!::testing::Test::HasFailure()) ++sound;
    }
    std::printf(
        "[ figure ] killed import: %d/%d kills sound (integrity ok, loads normally, every committed word there, keys "
        "right); %d before the first batch, %d runs finished first (whole runs %.2f s appending, %.2f s replacing)\n",
        sound, kills, beforeFirstBatch, finishedFirst, whole[1], whole[0]);
}

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
