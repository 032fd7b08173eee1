// The engine layer, the schema, loading, adding and deleting words, the re-builds and compaction.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtCore>
#include <cerrno>
#include <cstdio>
#include <tuple>

#include "store/compaction.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/maintenance.h"
#include "store/schema.h"
#include "store/word_editing.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

class StoreTest : public ::testing::Test {
protected:
    void open(const QStringList& words) {
        if (path.isEmpty()) path = dir.filePath("words.mdb");
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
    test::RecordingView view;
};

TEST_F(StoreTest, TransactionsRollBackUnlessCommittedAndBatchesKeepTheirRows) {
    open({"tea", "eat", "ate"});
    Connection& db = this->db();
    {
        Transaction t(db);
        db.execute("DELETE * FROM Dictionary");
    }
    EXPECT_THROW(db.execute("SELECT 1; DROP TABLE Dictionary"), Error);  // one statement at a time
    EXPECT_EQ(WordCount(db), 3);
    {
        BatchedTransaction batch(db, 3);
        WordTable table(db);
        for (int i = 0; i < 7; ++i) {
            table.addNew(QString("w%1").arg(i), "", "");
            batch.rowWritten();
        }
        EXPECT_EQ(batch.committedRows(), 6);
    }  // the destructor commits the rest
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(WordCount(db), 10);
}

// A wait for a lock calls the handler at every step and tries once more after it; past the timeout it fails.
TEST_F(StoreTest, AWaitForALockCallsTheHandlerUntilTheTimeout) {
    open({"tea", "eat"});
    Connection reader = Connection::open(path);
    reader.execute("BEGIN");
    reader.scalar("SELECT COUNT(*) FROM Dictionary");
    int waits = 0;
    db().setLockWaitHandler([&] { ++waits; });
    db().setBusyTimeout(1);
    EXPECT_THROW(db().execute("DELETE FROM Dictionary WHERE Word='tea'"), Error);
    EXPECT_GT(waits, 0);
    db().setLockWaitHandler([&] {
        if (reader.inTransaction()) reader.rollback();
    });
    db().execute("DELETE FROM Dictionary WHERE Word='eat'");
    EXPECT_EQ(StoredWords(db()), QStringList{"tea"});
    Connection none;
    EXPECT_THROW(none.setBusyTimeout(10), Error);
    Connection moved = std::move(reader);
    EXPECT_THROW(reader.setBusyTimeout(10), Error);  // NOLINT(bugprone-use-after-move)
    EXPECT_THROW(reader.setLockWaitHandler({}), Error);
}

TEST_F(StoreTest, AddThatStoresNothing) {
    open({"cat"});
    dialogs.no();
    EXPECT_EQ(AddWord(db(), "dog", dialogs), AddResult::Declined);
    for (const QString& text : {QStringLiteral("ab\ncd"), QStringLiteral("ab\tcd"), QStringLiteral("x\u2028y")}) {
        dialogs.clear();
        EXPECT_EQ(AddWord(db(), text, dialogs), AddResult::ControlCharacters);
        ASSERT_EQ(dialogs.shown().size(), 1U);
        EXPECT_TRUE(dialogs.lastText().startsWith("A word cannot hold control characters")) << text.toStdString();
    }
    EXPECT_EQ(StoredWords(db()), QStringList({"cat"}));
}

const QString kAbort = "Re-building is not complete, abort?";

TEST_F(StoreTest, CheckOffersTheQuickRebuildForMissingKeys) {
    open({"letter", "banana"});
    EXPECT_EQ(CheckDatabase(db(), run, dialogs), CheckResult::Sound);
    ASSERT_EQ(dialogs.shown().size(), 1u);  // says so
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::Notice);
    dialogs.clear();
    setKeys("letter", "[Letters]=NULL");
    int shownWindow = 0;
    dialogs.no();
    EXPECT_EQ(CheckDatabase(db(), run, dialogs, [&] { ++shownWindow; }), CheckResult::Declined);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.lastText().endsWith("Would you like to perform a quick re-build now?"));
    EXPECT_EQ(shownWindow, 1);
    EXPECT_EQ(StoredKeys(db(), "letter"), "ttrlee|<null>");
    EXPECT_EQ(run.begins, 0);
}

// A key that is not the folded word's counts as missing: the first pass writes Sorted, the second Letters.
TEST_F(StoreTest, QuickRebuildWritesMissingAndStaleKeysInTwoPasses) {
    open({"letter", "banana", "zebra", "Apple", "Ball", "", "a*b"});
    setKeys("letter", "[Sorted]=NULL, [Letters]=NULL");   // both passes
    setKeys("banana", "[Sorted]='aab', [Letters]=NULL");  // both passes
    setKeys("zebra", "[Sorted]=NULL");                    // a right Letters is left alone
    setKeys("Apple", "[Sorted]='x', [Letters]='y'");      // both passes
    setKeys("Ball", "[Sorted]='llaB', [Letters]='laB'");  // the keys of the word as written: both passes
    setKeys("a*b", "[Letters]=NULL");                     // the second pass leaves the star out
    ASSERT_EQ(RowsNeedingRebuild(db()), 6);
    const RebuildResult result = QuickRebuild(db(), run, dialogs);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.rowsWritten, 10);
    EXPECT_EQ(allKeys(), QStringList({"letter:ttrlee|trle", "banana:nnbaaa|nba", "zebra:zreba|zreba",
                                      "Apple:pplea|plea", "Ball:llba|lba", ":|", "a*b:ba*|ba"}));
    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
    EXPECT_EQ(run.statuses, QStringList({"Rebuilding index (1/2)...", "Rebuilding index (2/2)...", ""}));
    EXPECT_TRUE(dialogs.shown().empty());
    expectIdle();
}

TEST_F(StoreTest, CompleteRebuildCorrectsEveryWrongKey) {
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
    expectIdle();
}

// No goes on; Yes keeps what the pass committed, and the quick re-build's second pass never starts.
TEST_F(StoreTest, AbortedRebuildsKeepTheRowsDone) {
    open({"one", "two", "three", "four", "five"});
    db().execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
    run.stopAtRecord = 2;
    dialogs.no().yes();
    EXPECT_TRUE(QuickRebuild(db(), run, dialogs).aborted);
    EXPECT_EQ(dialogs.texts(), QStringList({kAbort, kAbort}));
    EXPECT_EQ(allKeys(), QStringList({"one:one|<null>", "two:wto|<null>", "three:<null>|<null>", "four:<null>|<null>",
                                      "five:<null>|<null>"}));
    EXPECT_EQ(run.statuses, QStringList({"Rebuilding index (1/2)...", ""}));
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

// Rows far apart, below zero and past every range boundary are all reached once, in table order.
TEST_F(StoreTest, RebuildsReachEveryRowWhateverItsRowId) {
    open({});
    for (const qint64 id : {-7LL, 0LL, 3LL, 4LL, 5LL, 1000000000000LL, 9223372036854775807LL})
        db().execute(QStringLiteral("INSERT INTO [Dictionary] (rowid, [Word]) VALUES (%1, 'w%2')").arg(id).arg(id));
    BatchedTransaction::setDefaultLimits(2, 0);  // ranges of two rows
    const RebuildResult complete = CompleteRebuild(db(), run, dialogs);
    BatchedTransaction::setDefaultLimits(0, 0);
    EXPECT_TRUE(complete.ok()) << complete.error.toStdString();
    EXPECT_EQ(complete.rowsWritten, 7);
    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
    EXPECT_EQ(StoredKeys(db(), "w-7"), "w7-|w7-");

    db().execute("UPDATE [Dictionary] SET [Sorted]=NULL WHERE rowid<>4");
    db().execute("UPDATE [Dictionary] SET [Letters]=NULL WHERE rowid>4");
    const RebuildResult quick = QuickRebuild(db(), run, dialogs);
    EXPECT_TRUE(quick.ok()) << quick.error.toStdString();
    EXPECT_EQ(quick.rowsWritten, 9);

    EXPECT_EQ(RowsNeedingRebuild(db()), 0);
}

using Choice = Dialogs::ErrorChoice;

const QString kInjected = "injected failure";

class CompactionTest : public StoreTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkpath("program") && QDir(dir.path()).mkpath("data"));
        work = dir.filePath("program");
        path = dir.filePath("data/words.mdb");
    }
    void openWithFreeSpace() {
        QStringList words;
        for (int i = 0; i < 3000; ++i) words << QStringLiteral("word%1").arg(i);
        open(words);
        state.CurrentDatabase.execute("DELETE FROM [Dictionary] WHERE rowid > 100");
    }
    static qint64 countAt(const QString& file) {
        Connection db = Connection::open(file);
        return WordCount(db);
    }
    CompactionResult compact(const CompactionHooks& hooks = {}) {
        return CompactDatabase(state, view, dialogs, work, hooks);
    }
    QString intermediate() const { return QDir(work).filePath("backup.bak"); }
    QString nearCopy() const { return dir.filePath("data/.words.mdb.compacting"); }
    QString work;
};

// Through a link, with a stale copy left in the work folder: the file shrinks, keeps its words and its rights.
TEST_F(CompactionTest, CompactsInPlaceKeepingEveryWordTheLinkAndTheRights) {
    openWithFreeSpace();
    state.CurrentDatabase.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString link = dir.filePath("program/linked.mdb");
    ASSERT_TRUE(QFile::link(path, link));
    test::OpenWordDatabase(state, link);
    test::WriteFile(intermediate(), "left from an interrupted run");
    QFile::setPermissions(intermediate(), QFile::ReadOwner);
    const qint64 sizeBefore = QFileInfo(path).size();
    const CompactionResult result = compact();
    EXPECT_TRUE(result.compacted && result.loaded);
    EXPECT_LT(QFileInfo(path).size(), sizeBefore);
    EXPECT_EQ(countAt(path), 100);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(QFile::exists(intermediate()));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(state.DatabasePath, link);
    struct stat compacted {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &compacted), 0);
    EXPECT_EQ(compacted.st_mode & 0777, 0640u);
}

class CompactionFailureTest : public CompactionTest,
                              public ::testing::WithParamInterface<std::tuple<CompactionStep, Choice, bool>> {};

TEST_P(CompactionFailureTest, DatabaseSurvivesWithEveryWord) {
    const auto [failingStep, answer, acrossDevices] = GetParam();
    openWithFreeSpace();
    int failures = 0;
    CompactionHooks hooks;
    hooks.beforeStep = [&, failingStep = failingStep](CompactionStep step) {
        if (step == failingStep && failures++ == 0) throw Error(kInjected);
    };
    bool first = true;
    if (acrossDevices) {
        hooks.rename = [&](const char* from, const char* to) {
            if (std::exchange(first, false)) {
                errno = EXDEV;
                return -1;
            }
            return ::rename(from, to);
        };
    }
    dialogs.choose(answer);
    const CompactionResult result = compact(hooks);

    ASSERT_EQ(dialogs.shown().size(), 1u) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::AbortRetryIgnore);
    EXPECT_EQ(dialogs.shown()[0].title, "Error!");
    EXPECT_EQ(dialogs.shown()[0].text, kInjected);
    EXPECT_EQ(countAt(path), 100);
    EXPECT_FALSE(QFile::exists(intermediate()));
    EXPECT_FALSE(QFile::exists(nearCopy()));

    const bool reloadGivenUp = failingStep == CompactionStep::Reload && answer != Choice::Retry;
    EXPECT_EQ(result.compacted, answer == Choice::Retry || failingStep == CompactionStep::Reload);
    EXPECT_EQ(result.loaded, !reloadGivenUp);
    EXPECT_EQ(state.loaded(), !reloadGivenUp);
    EXPECT_EQ(view.loaded, !reloadGivenUp);
    if (reloadGivenUp) {
        EXPECT_TRUE(state.DatabasePath.isEmpty());
    } else {
        EXPECT_EQ(state.DatabasePath, path);
        EXPECT_EQ(WordCount(state.CurrentDatabase), 100);
        EXPECT_EQ(view.status, "100 words.");
    }
}

INSTANTIATE_TEST_SUITE_P(
    OneDevice, CompactionFailureTest,
    ::testing::Combine(::testing::Values(CompactionStep::Compact, CompactionStep::Replace, CompactionStep::Reload),
                       ::testing::Values(Choice::Abort, Choice::Retry, Choice::Ignore), ::testing::Values(false)));
INSTANTIATE_TEST_SUITE_P(TwoDevices, CompactionFailureTest,
                         ::testing::Combine(::testing::Values(CompactionStep::CopyAcross, CompactionStep::Replace),
                                            ::testing::Values(Choice::Abort, Choice::Retry, Choice::Ignore),
                                            ::testing::Values(true)));

}  // namespace
}  // namespace lexivo::test
