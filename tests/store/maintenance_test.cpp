#include "store/maintenance.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/current_database.h"
#include "store/keys.h"
#include "store/schema.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::FakeRun;
using test::ScriptedDialogs;
using test::StoredKeys;

const QString kAbort = "Re-building is not complete, abort?";
const QString kSound =
    "The database appears to be ok but if you are experiencing problems you could try doing a complete index "
    "re-build.";
const QString kOffer =
    "The database index needs re-building, certain functions may not work correctly until this has been done. In "
    "some cases a complete re-build may be required. Would you like to perform a quick re-build now?";

class MaintenanceTest : public ::testing::Test {
protected:
    void open(const QStringList& words) {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
    Connection& db() { return state.CurrentDatabase; }
    void setKeys(const QString& word, const QString& assignments) {
        db().execute(QStringLiteral("UPDATE [Dictionary] SET %1 WHERE [Word]='%2'").arg(assignments, word));
    }
    QStringList allKeys() {
        QStringList keys;
        for (const QString& word : test::StoredWords(db())) keys << word + ':' + StoredKeys(db(), word);
        return keys;
    }
    // The run is over and nothing is left half done.
    void expectIdle() {
        EXPECT_TRUE(run.stopFlag());
        EXPECT_EQ(run.statuses.last(), "");
        EXPECT_FALSE(db().inTransaction());
    }

    QTemporaryDir dir;
    QString path;
    DatabaseState state;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(MaintenanceTest, CheckOffersTheQuickRebuildForMissingKeys) {
    open({"letter", "banana"});
    setKeys("letter", "[Letters]=NULL");
    int shownWindow = 0;
    dialogs.no();
    EXPECT_EQ(CheckDatabase(db(), run, dialogs, [&] { ++shownWindow; }), CheckResult::Declined);
    EXPECT_EQ(dialogs.texts(), QStringList({kOffer}));
    EXPECT_EQ(shownWindow, 1);
    EXPECT_EQ(StoredKeys(db(), "letter"), "ttrlee|<null>");
    EXPECT_EQ(run.begins, 0);

    dialogs.clear();
    dialogs.yes();
    EXPECT_EQ(CheckDatabase(db(), run, dialogs), CheckResult::Rebuilt);
    EXPECT_EQ(dialogs.texts(), QStringList({kOffer}));
    EXPECT_EQ(StoredKeys(db(), "letter"), "ttrlee|trle");
    EXPECT_EQ(run.statuses.last(), "");
    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
}

TEST_F(MaintenanceTest, QuickRebuildFillsOnlyMissingKeysInTwoPasses) {
    open({"letter", "banana", "zebra", "Apple", ""});
    setKeys("letter", "[Sorted]=NULL, [Letters]=NULL");   // both passes
    setKeys("banana", "[Sorted]='aab', [Letters]=NULL");  // a stale key is kept and Letters derived from it
    setKeys("zebra", "[Sorted]=NULL");                    // a present Letters is left alone
    setKeys("Apple", "[Sorted]='x', [Letters]='y'");      // present keys are never changed
    ASSERT_EQ(RowsNeedingRebuild(db()), 3);
    const RebuildResult result = QuickRebuild(db(), run, dialogs);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.rowsWritten, 4);  // letter and zebra in pass 1, letter and banana in pass 2
    EXPECT_EQ(allKeys(), QStringList({"letter:ttrlee|trle", "banana:aab|ab", "zebra:zreba|zreba", "Apple:x|y", ":|"}));
    EXPECT_EQ(run.statuses, QStringList({"Rebuilding index (1/2)...", "Rebuilding index (2/2)...", ""}));
    EXPECT_EQ(run.maximum, 2);
    EXPECT_EQ(run.value, 0);
    EXPECT_TRUE(dialogs.shown().empty());
    expectIdle();
}

TEST_F(MaintenanceTest, CompleteRebuildCorrectsEveryWrongKey) {
    open({"letter", "banana", "mississippi", "don't", "a*b"});
    setKeys("letter", "[Sorted]=NULL, [Letters]=NULL");
    setKeys("banana", "[Sorted]='aab', [Letters]='ab'");
    setKeys("mississippi", "[Letters]=''");
    const RebuildResult result = CompleteRebuild(db(), run, dialogs);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.rowsWritten, 3);  // rows already right are not written again
    EXPECT_EQ(allKeys(), QStringList({"letter:ttrlee|trle", "banana:nnbaaa|nba", "mississippi:ssssppmiiii|spmi",
                                      "don't:tond'|tond'", "a*b:ba*|ba"}));
    EXPECT_EQ(run.statuses, QStringList({"Rebuilding index...", ""}));
    EXPECT_EQ(run.maximum, 5);
    EXPECT_EQ(run.value, 5);  // the progress bar keeps its last value
    expectIdle();
}

// An abort answered No goes on with the next row; a Yes keeps what the pass committed, and the quick re-build's
// second pass never starts.
TEST_F(MaintenanceTest, AbortedRebuildsKeepTheRowsDone) {
    open({"one", "two", "three", "four", "five"});
    db().execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
    run.stopAtRecord = 2;
    dialogs.no().yes();
    EXPECT_TRUE(QuickRebuild(db(), run, dialogs).aborted);
    EXPECT_EQ(dialogs.texts(), QStringList({kAbort, kAbort}));
    EXPECT_EQ(allKeys(), QStringList({"one:one|<null>", "two:wto|<null>", "three:<null>|<null>", "four:<null>|<null>",
                                      "five:<null>|<null>"}));
    EXPECT_EQ(run.statuses, QStringList({"Rebuilding index (1/2)...", ""}));
    EXPECT_EQ(run.value, 0);
    expectIdle();

    run = FakeRun();
    run.stopAtRecord = 3;
    dialogs.no().yes();
    const RebuildResult complete = CompleteRebuild(db(), run, dialogs);
    EXPECT_TRUE(complete.aborted);
    EXPECT_EQ(complete.rowsWritten, 3);
    EXPECT_EQ(allKeys(), QStringList({"one:one|one", "two:wto|wto", "three:trhee|trhe", "four:<null>|<null>",
                                      "five:<null>|<null>"}));
    EXPECT_TRUE(IndexExists(db(), "Dictionary", "Sorted"));
    EXPECT_TRUE(IndexExists(db(), "Dictionary", "Letters"));
    expectIdle();
}

// The re-builds write the table in ranges of row ids: rows far apart, below zero and past every range
// boundary are all reached once, in table order.
TEST_F(MaintenanceTest, RebuildsReachEveryRowWhateverItsRowId) {
    open({});
    EXPECT_TRUE(CompleteRebuild(db(), run, dialogs).ok());  // an empty table ends at once
    EXPECT_EQ(run.records, 0);
    EXPECT_EQ(run.ends, 1);
    for (const qint64 id : {-7LL, 0LL, 3LL, 4LL, 5LL, 1000000000000LL, 9223372036854775807LL})
        db().execute(QStringLiteral("INSERT INTO [Dictionary] (rowid, [Word]) VALUES (%1, 'w%2')").arg(id).arg(id));
    BatchedTransaction::setDefaultLimits(2, 0);  // ranges of two rows
    const RebuildResult complete = CompleteRebuild(db(), run, dialogs);
    BatchedTransaction::setDefaultLimits(0, 0);
    EXPECT_TRUE(complete.ok()) << complete.error.toStdString();
    EXPECT_EQ(complete.rowsWritten, 7);
    EXPECT_EQ(run.value, 7);
    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
    EXPECT_EQ(StoredKeys(db(), "w-7"), "w7-|w7-");

    db().execute("UPDATE [Dictionary] SET [Sorted]=NULL WHERE rowid<>4");
    db().execute("UPDATE [Dictionary] SET [Letters]=NULL WHERE rowid>4");
    run.words.clear();
    const RebuildResult quick = QuickRebuild(db(), run, dialogs);
    EXPECT_TRUE(quick.ok()) << quick.error.toStdString();
    EXPECT_EQ(quick.rowsWritten, 9);
    // Each pass shows its rows in table order, and its last word once more at its end.
    EXPECT_EQ(run.words,
              QStringList({"w-7", "w0", "w3", "w5", "w1000000000000", "w9223372036854775807", "w9223372036854775807",
                           "w5", "w1000000000000", "w9223372036854775807", "w9223372036854775807"}));
    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
}

}  // namespace
}  // namespace lexivo
