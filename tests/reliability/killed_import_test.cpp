// An import killed at random moments: whatever the moment, the word database passes SQLite's integrity check,
// holds every word of every batch committed before the kill (and the earlier words, while the batch that
// empties the table has not been committed), its keys are sound, and loading opens it normally.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

constexpr int kListWords = 100000;
constexpr int kBatchRows = 10000;  // the child's batches: 10 of them in a whole import

class KilledImport : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        list_ = new QStringList(GeneratedWords(kListWords, 8));
        earlier_ = new QStringList(GeneratedWords(500, 1234567));
        for (QString& w : *earlier_) w += QStringLiteral("zz");  // never one of the list's words
    }
    static void TearDownTestSuite() {
        delete list_;
        delete earlier_;
    }
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        listPath = dir.filePath("list.txt");
        WriteFile(listPath, WordListBytes(*list_));
    }

    // A copy of a database that holds the earlier words.
    QString freshDatabase(int n) {
        const QString templatePath = dir.filePath("template.mdb");
        if (!QFile::exists(templatePath)) CreateWordDatabase(templatePath, *earlier_);
        const QString path = dir.filePath(QStringLiteral("words%1.mdb").arg(n));
        QFile::copy(templatePath, path);
        return path;
    }
    QStringList childArgs(const QString& db, bool append) const {
        return {"--batch", QString::number(kBatchRows), "--report-commits", db, "import", listPath, append ? "1" : "0"};
    }

    // One whole run: it must complete; its length spreads the kills over the whole import.
    double wholeRun(bool append) {
        const QString db = freshDatabase(append ? -1 : -2);
        ChildProcess child(childArgs(db, append));
        const ChildReport report = child.finish();
        const double seconds = child.elapsedSeconds();
        EXPECT_TRUE(report.exitedNormally()) << report.describe().toStdString();
        EXPECT_TRUE(report.with("dialog notice")
                        .contains(QStringLiteral("Import Complete. %1 words imported,0 duplicates skipped, 0, blanks "
                                                 "skipped.")
                                      .arg(kListWords)))
            << report.describe().toStdString();
        DatabaseState state;
        OpenWordDatabase(state, db);
        EXPECT_EQ(WordCount(state.CurrentDatabase), kListWords + (append ? earlier_->size() : 0));
        return seconds;
    }

    static QStringList* list_;
    static QStringList* earlier_;
    QTemporaryDir dir{MemoryFolderTemplate()};
    QString listPath;
};

QStringList* KilledImport::list_ = nullptr;
QStringList* KilledImport::earlier_ = nullptr;

TEST_F(KilledImport, EveryCommittedBatchSurvivesAKill) {
    const double wholeAppend = wholeRun(true);
    const double wholeReplace = wholeRun(false);
    ASSERT_FALSE(HasFailure());

    const int kills = TrialSize(20, 50);
    std::mt19937 random(TrialSeed(20240607));
    int sound = 0;
    qint64 committedLost = 0;
    int killedWithBatches = 0, killedBeforeFirstBatch = 0, completedBeforeKill = 0;
    for (int k = 1; k <= kills; ++k) {
        SCOPED_TRACE(k);
        // Half the runs replace the earlier words, half keep them.
        const bool append = k % 2 == 1;
        const QString db = freshDatabase(k);
        const double at = std::uniform_real_distribution<double>(0.0, append ? wholeAppend : wholeReplace)(random);
        qint64 committed = -1;  // rows another connection saw, the last time it looked before the kill
        ChildProcess child(childArgs(db, append));
        ASSERT_TRUE(child.started());
        const ChildReport report = child.finish(at, [&](const QString& line) {
            if (line.startsWith(QLatin1String("committed "))) committed = line.mid(10).toLongLong();
        });
        if (!report.killed) ++completedBeforeKill;

        // Checked as the kill left it, before anything opens it for writing.
        const QString integrity = IntegrityCheck(db);
        EXPECT_EQ(integrity, "ok");
        ScriptedDialogs dialogs;
        RecordingView view;
        DatabaseState state;
        state.DatabasePath = db;
        ASSERT_TRUE(LoadDatabase(state, view, dialogs)) << dialogs.texts().join('\n').toStdString();
        for (const auto& shown : dialogs.shown()) EXPECT_NE(shown.kind, ScriptedDialogs::Kind::Failure);
        Connection& connection = state.CurrentDatabase;
        const QStringList stored = StoredWords(connection);
        EXPECT_EQ(view.status, QStringLiteral("%1 words.").arg(stored.size()));

        // What the database holds: the earlier words (unless a committed batch replaced them), then a whole
        // number of batches of the list, in the list's order.
        QStringList imported = stored;
        const bool earlierKept = append || stored.mid(0, earlier_->size()) == *earlier_;
        if (earlierKept) {
            EXPECT_EQ(stored.mid(0, earlier_->size()), *earlier_);
            imported = stored.mid(earlier_->size());
        }
        const qint64 importedCount = imported.size();
        EXPECT_EQ(imported, list_->mid(0, imported.size()));
        EXPECT_TRUE(importedCount % kBatchRows == 0 || importedCount == kListWords) << importedCount;
        if (!append && earlierKept) {
            EXPECT_EQ(importedCount, 0);  // the emptying comes with the first batch
        }

        // Nothing another connection saw committed may be missing.
        const qint64 committedImported = committed < 0 ? 0 : committed - (append || committed == 500 ? 500 : 0);
        if (committedImported > importedCount) committedLost += committedImported - importedCount;
        EXPECT_GE(importedCount, committedImported) << "committed " << committed;

        EXPECT_EQ(RowsWithWrongKeys(connection), 0);
        const QStringList indexes = connection.indexNames("Dictionary");
        for (const char* index : {"Word", "Sorted", "Letters"})
            EXPECT_TRUE(indexes.contains(index, Qt::CaseInsensitive)) << index;

        if (integrity == "ok" && !HasFailure()) ++sound;
        if (importedCount == 0)
            ++killedBeforeFirstBatch;
        else if (report.killed)
            ++killedWithBatches;
        connection.close();
        QFile::remove(db);
    }
    std::printf(
        "[ figure ] killed import: %d/%d kills sound (integrity ok, loads normally, keys right), %lld "
        "committed words lost; %d kills after some batches, %d before the first, %d runs finished first "
        "(whole runs %.2f s appending, %.2f s replacing)\n",
        sound, kills, static_cast<long long>(committedLost), killedWithBatches, killedBeforeFirstBatch,
        completedBeforeKill, wholeAppend, wholeReplace);
    EXPECT_EQ(sound, kills);
    EXPECT_EQ(committedLost, 0);
}

}  // namespace
}  // namespace lexivo
