// Running out of disk space part-way through each command that writes: the child runs with a file size limit
// (and SIGXFSZ ignored), so that a write past it fails as on a full disk. Each time the user is told why, the
// run ends idle, the database passes its integrity check and holds what it held before (or that plus whole
// committed batches), and an export leaves the earlier file as it was.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"

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
        before = ReadFile(db);
    }

    // Runs the child on the database with writes limited to limit bytes per file.
    ChildReport runLimited(qint64 limit, const QStringList& command, const QStringList& options = {}) {
        ChildOptions childOptions;
        childOptions.fileSizeLimit = static_cast<rlim_t>(limit);
        return RunChild(options + QStringList{db} + command, childOptions);
    }

    // One failure message that starts as given and gives the reason, and the run idle again.
    static void expectReported(const ChildReport& report, const QString& start) {
        EXPECT_TRUE(report.exitedNormally()) << report.describe().toStdString();
        const QStringList failures = report.failures();
        ASSERT_EQ(failures.size(), 1) << report.describe().toStdString();
        EXPECT_TRUE(report.with("error").isEmpty()) << report.describe().toStdString();
        EXPECT_TRUE(failures[0].startsWith(start)) << failures[0].toStdString();
        EXPECT_TRUE(NamesFullDisk(failures[0])) << failures[0].toStdString();
        EXPECT_EQ(report.with("state").value(0), "idle") << report.describe().toStdString();
    }

    // The words of the database as the failure left it, after its integrity check.
    QStringList storedWords() {
        EXPECT_EQ(IntegrityCheck(db), "ok");
        DatabaseState state;
        OpenWordDatabase(state, db);
        return state.loaded() ? StoredWords(state.CurrentDatabase) : QStringList();
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString db;
    QStringList earlier;
    QByteArray before;
};

TEST_F(DiskFull, ImportKeepsTheEarlierWordsAndTheCommittedBatches) {
    const QString list = dir.filePath("list.txt");
    QStringList more = GeneratedWords(60000, 99);
    for (QString& w : more) w += QStringLiteral("q");  // none of the earlier words
    WriteFile(list, WordListBytes(more));
    struct Case {
        bool append;
        int batch;  // 0: one batch holds the whole run
        qint64 room;
    };
    for (const Case c : {Case{true, 0, 64 * 1024}, Case{false, 0, 64 * 1024}, Case{true, 2000, 512 * 1024}}) {
        SCOPED_TRACE(testing::Message() << (c.append ? "appending" : "replacing") << " in batches of " << c.batch);
        WriteFile(db, before);
        QStringList options;
        if (c.batch > 0) options << "--batch" << QString::number(c.batch);
        const ChildReport report = runLimited(before.size() + c.room, {"import", list, c.append ? "1" : "0"}, options);
        expectReported(report, "The import stopped: ");
        // A batch that did not fit is rolled back whole, the emptying with the first one; those committed before
        // stay, in the list's order.
        const QStringList stored = storedWords();
        ASSERT_GE(stored.size(), earlier.size());
        EXPECT_EQ(stored.mid(0, earlier.size()), earlier);
        const QStringList added = stored.mid(earlier.size());
        EXPECT_EQ(added, more.mid(0, added.size()));
        if (c.batch == 0) {
            EXPECT_TRUE(added.isEmpty());
        } else {
            EXPECT_GT(added.size(), 0);  // some batches fitted before the disk filled up
            EXPECT_EQ(added.size() % c.batch, 0);
        }
        // The message counts exactly the words that are stored.
        EXPECT_TRUE(report.failures().value(0).endsWith(
            QStringLiteral("Import Complete. %1 words imported,0 duplicates skipped, 0, blanks skipped.")
                .arg(added.size())))
            << report.describe().toStdString();
    }
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
        EXPECT_EQ(ReadFile(file), earlierList);
        EXPECT_EQ(QDir(dir.path()).entryList({"out*"}, QDir::Files | QDir::Hidden), QStringList({"out.txt"}));
        EXPECT_EQ(ReadFile(db), before);
    }
}

TEST_F(DiskFull, CompleteRebuildKeepsTheWordsAndNoWrongKey) {
    // Every key missing: the rebuild must write them all, and the file outgrows the limit on the way.
    {
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL");
        c.execute("VACUUM");
    }
    const QByteArray stripped = ReadFile(db);
    for (const int batch : {0, 1000}) {
        SCOPED_TRACE(batch);
        WriteFile(db, stripped);
        QStringList options;
        if (batch > 0) options << "--batch" << QString::number(batch);
        const ChildReport report = runLimited(stripped.size() + 96 * 1024, {"rebuild"}, options);
        expectReported(report, "The index could not be re-built: ");
        EXPECT_EQ(storedWords(), earlier);
        // The keys written are right; the rest are still missing, for the next rebuild.
        Connection c = Connection::open(db);
        const qint64 missing = ExpectKeysRightOrMissing(c);
        if (batch == 0) {
            EXPECT_EQ(missing, kEarlierWords);  // one batch, rolled back whole
        }
    }
}

// No room even for the journal.
TEST_F(DiskFull, NoRoomAtAllEveryWritingCommandSaysSo) {
    {
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL WHERE rowid <= 10");
    }
    before = ReadFile(db);
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "alpha\r\nbeta\r\n");
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));
    const auto commands = WritingChildCommands(list, work, earlier[0]);
    int reported = 0;
    for (const QStringList& command : commands) {
        SCOPED_TRACE(command.join(' ').toStdString());
        const ChildReport report = runLimited(0, command);
        const QStringList failures = report.failures();
        ASSERT_GE(failures.size(), 1) << report.describe().toStdString();
        EXPECT_TRUE(NamesFullDisk(failures[0])) << failures[0].toStdString();
        EXPECT_FALSE(report.with("dialog notice").contains("OK!"));
        EXPECT_EQ(report.with("state").value(0), "idle");
        EXPECT_EQ(ReadFile(db), before);
        if (NamesFullDisk(failures[0])) ++reported;
    }
    EXPECT_EQ(IntegrityCheck(db), "ok");
    std::printf("[ figure ] no room at all: %d/%d writing commands reported it with the reason, file unchanged\n",
                reported, static_cast<int>(commands.size()));
}

TEST_F(DiskFull, CompactionKeepsTheDatabaseUnderItsName) {
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));
    const ChildReport report = runLimited(before.size() / 2, {"compact", work});
    expectReported(report, "");
    // The database is loaded again as it was.
    ASSERT_FALSE(report.with("status").isEmpty());
    EXPECT_EQ(report.with("status").last(), QStringLiteral("%1 words.").arg(kEarlierWords));
    EXPECT_EQ(report.with("view").last(), "loaded words.mdb");
    EXPECT_EQ(ReadFile(db), before);
    EXPECT_TRUE(QDir(work).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(storedWords(), earlier);
}

}  // namespace
}  // namespace lexivo
