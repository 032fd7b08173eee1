// Running out of disk space part-way through each command that writes: the child runs with a file size limit
// (and SIGXFSZ ignored), so that a write past it fails as on a full disk. Each time the user is told why, the
// run ends idle, the database passes its integrity check and holds what it held before (or that plus whole
// committed batches), and an export leaves the earlier file as it was.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

constexpr int kEarlierWords = 20000;

class DiskFull : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = dir.filePath("words.mdb");
        earlier = GeneratedWords(kEarlierWords, 77);
        CreateWordDatabase(db, earlier);
        before = FileBytes(db);
    }

    // Runs the child on the database with writes limited to limit bytes per file.
    ChildReport runLimited(qint64 limit, const QStringList& command, const QStringList& options = {}) {
        ChildOptions childOptions;
        childOptions.fileSizeLimit = static_cast<rlim_t>(limit);
        return RunChild(options + QStringList{db} + command, childOptions);
    }

    // One failure message that gives the reason, and the run idle again.
    static void expectReported(const ChildReport& report, const QString& start) {
        EXPECT_TRUE(report.exitedNormally()) << report.describe().toStdString();
        const QStringList failures = report.with("dialog failure") + report.with("dialog error");
        ASSERT_EQ(failures.size(), 1) << report.describe().toStdString();
        EXPECT_TRUE(failures[0].startsWith(start)) << failures[0].toStdString();
        const bool reason = failures[0].contains("disk is full") || failures[0].contains("disk I/O error") ||
                            failures[0].contains("File too large");
        EXPECT_TRUE(reason) << failures[0].toStdString();
        EXPECT_EQ(report.with("state").value(0), "idle") << report.describe().toStdString();
        EXPECT_TRUE(report.with("error").isEmpty()) << report.describe().toStdString();
    }

    // The database as the failure left it: sound, every earlier word there, every key right or never written.
    QStringList expectSound() {
        EXPECT_EQ(IntegrityCheck(db), "ok");
        DatabaseState state;
        OpenWordDatabase(state, db);
        if (!state.loaded()) return {};
        return StoredWords(state.CurrentDatabase);
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString db;
    QStringList earlier;
    QByteArray before;
};

TEST_F(DiskFull, ImportKeepsTheEarlierWordsWhetherAppendingOrReplacing) {
    const QString list = dir.filePath("list.txt");
    QStringList more = GeneratedWords(60000, 99);
    for (QString& w : more) w += QStringLiteral("q");  // none of the earlier words
    WriteFile(list, WordListBytes(more));
    for (const bool append : {true, false}) {
        SCOPED_TRACE(append ? "appending" : "replacing");
        WriteFile(db, before);
        const ChildReport report = runLimited(before.size() + 64 * 1024, {"import", list, append ? "1" : "0"});
        expectReported(report, "The import stopped: ");
        // One batch holds the whole run here: it is rolled back whole, and the emptying with it; the message
        // counts no word as imported.
        EXPECT_EQ(expectSound(), earlier);
        EXPECT_TRUE(report.with("dialog failure")
                        .value(0)
                        .endsWith("Import Complete. 0 words imported,0 duplicates "
                                  "skipped, 0, blanks skipped."))
            << report.describe().toStdString();
    }
}

TEST_F(DiskFull, ImportInSmallBatchesKeepsTheCommittedOnes) {
    const QString list = dir.filePath("list.txt");
    QStringList more = GeneratedWords(60000, 99);
    for (QString& w : more) w += QStringLiteral("q");
    WriteFile(list, WordListBytes(more));
    const ChildReport report = runLimited(before.size() + 512 * 1024, {"import", list, "1"}, {"--batch", "2000"});
    expectReported(report, "The import stopped: ");
    const QStringList stored = expectSound();
    ASSERT_GE(stored.size(), earlier.size());
    EXPECT_EQ(stored.mid(0, earlier.size()), earlier);
    const QStringList added = stored.mid(earlier.size());
    EXPECT_EQ(added, more.mid(0, added.size()));
    EXPECT_EQ(added.size() % 2000, 0);
    EXPECT_GT(added.size(), 0);  // some batches fitted before the disk filled up
    // The message counts exactly the words that are stored.
    EXPECT_TRUE(report.with("dialog failure")
                    .value(0)
                    .endsWith(QStringLiteral("Import Complete. %1 words imported,0 duplicates skipped, 0, blanks "
                                             "skipped.")
                                  .arg(added.size())))
        << report.describe().toStdString();
}

TEST_F(DiskFull, NoRoomEvenForTheJournal) {
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "one\r\ntwo\r\n");
    const ChildReport report = runLimited(0, {"import", list, "0"});
    expectReported(report, "The import stopped: ");
    EXPECT_EQ(FileBytes(db), before);
}

TEST_F(DiskFull, ExportOfTheWholeDatabaseLeavesTheEarlierFile) {
    const QString file = dir.filePath("out.txt");
    const QByteArray earlierList = "earlier\r\nlines\r\n";
    for (const bool append : {false, true}) {
        SCOPED_TRACE(append ? "appending" : "afresh");
        WriteFile(file, earlierList);
        // The database is only read; the list (about 200 KB) outgrows the limit.
        const ChildReport report = runLimited(64 * 1024, {"export", file, append ? "1" : "0"});
        expectReported(report, "The export stopped: ");
        EXPECT_EQ(FileBytes(file), earlierList);
        EXPECT_EQ(QDir(dir.path()).entryList({"out*"}, QDir::Files | QDir::Hidden), QStringList({"out.txt"}));
        EXPECT_EQ(FileBytes(db), before);
    }
}

TEST_F(DiskFull, CompleteRebuildKeepsTheWordsAndNoWrongKey) {
    // Every key missing: the rebuild must write them all, and the file outgrows the limit on the way.
    {
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
        c.execute("VACUUM");
    }
    const QByteArray stripped = FileBytes(db);
    for (const int batch : {0, 1000}) {
        SCOPED_TRACE(batch);
        WriteFile(db, stripped);
        QStringList options;
        if (batch > 0) options << "--batch" << QString::number(batch);
        const ChildReport report = runLimited(stripped.size() + 96 * 1024, {"rebuild"}, options);
        expectReported(report, "The index could not be re-built: ");
        EXPECT_EQ(expectSound(), earlier);
        Connection c = Connection::open(db);
        const qint64 missing = c.scalar("SELECT COUNT(*) FROM [Dictionary] WHERE [Sorted] IS NULL");
        EXPECT_EQ(c.scalar("SELECT COUNT(*) FROM [Dictionary] WHERE [Letters] IS NULL"), missing);
        // The keys written are right; the rest are still missing, for the next rebuild.
        EXPECT_EQ(RowsWithWrongKeys(c), missing);
        if (batch == 0) {
            EXPECT_EQ(missing, kEarlierWords);  // one batch, rolled back whole
        }
    }
}

TEST_F(DiskFull, NoRoomAtAllEveryWritingCommandSaysSo) {
    {
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL WHERE rowid <= 10");
    }
    before = FileBytes(db);
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "alpha\r\nbeta\r\n");
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));
    const QStringList commands[] = {{"import", list, "1"},
                                    {"import", list, "0"},
                                    {"add", "newword"},
                                    {"delete", earlier[0]},
                                    {"search", "Add", "newword"},
                                    {"search", "Delete", earlier[1]},
                                    {"rebuild"},
                                    {"quick"},
                                    {"check"},
                                    {"clear"},
                                    {"compact", work}};
    int reported = 0;
    for (const QStringList& command : commands) {
        SCOPED_TRACE(command.join(' ').toStdString());
        const ChildReport report = runLimited(0, command);
        QStringList failures = report.with("dialog failure") + report.with("dialog error") + report.with("error");
        ASSERT_GE(failures.size(), 1) << report.describe().toStdString();
        const bool reason = failures[0].contains("disk is full") || failures[0].contains("disk I/O error") ||
                            failures[0].contains("File too large");
        EXPECT_TRUE(reason) << failures[0].toStdString();
        EXPECT_FALSE(report.with("dialog notice").contains("OK!"));
        EXPECT_EQ(report.with("state").value(0), "idle");
        EXPECT_EQ(FileBytes(db), before);
        if (reason) ++reported;
    }
    EXPECT_EQ(IntegrityCheck(db), "ok");
    std::printf("[ figure ] no room at all: %d/%d writing commands reported it with the reason, file unchanged\n",
                reported, static_cast<int>(std::size(commands)));
}

TEST_F(DiskFull, CompactionKeepsTheDatabaseUnderItsName) {
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));
    const ChildReport report = runLimited(before.size() / 2, {"compact", work});
    expectReported(report, "");
    ASSERT_FALSE(report.with("status").isEmpty());
    EXPECT_EQ(report.with("status").last(), QStringLiteral("%1 words.").arg(kEarlierWords));
    EXPECT_EQ(report.with("view").last(), "loaded words.mdb");
    EXPECT_EQ(FileBytes(db), before);
    EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(expectSound(), earlier);
}

}  // namespace
}  // namespace lexivo
