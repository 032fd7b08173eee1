// lexivo-cli on bad input: each failure is one line on standard error and status 1, and nothing already
// stored is lost. Also the database it takes without --db, and Ctrl-C during a long run. (Files that are not
// word databases are the reliability trials' part.)

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "cli_process.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

const QStringList kWords = {"tea", "eat", "ate", "level", "stop", "pots", "cook"};

class CliFailureTest : public CliFixture {
protected:
    CliFailureTest() : CliFixture(kWords) {}
    void SetUp() override {
        CliFixture::SetUp();
        before = ReadFile(database);
    }
    qint64 wordCount() const {
        Connection db = Connection::open(database);
        return WordCount(db);
    }

    QByteArray before;
};

// One line naming the program and the reason, status 1, nothing on standard output.
::testing::AssertionResult failedWithOneLine(const CliResult& r, const QString& reasonPart) {
    if (r.crashed || r.code != 1) return ::testing::AssertionFailure() << "expected status 1, got " << r;
    if (!r.out.isEmpty()) return ::testing::AssertionFailure() << "standard output not empty: " << r;
    const QStringList lines = r.messages();
    if (lines.size() != 1 || !lines.first().startsWith("lexivo-cli: ") || !lines.first().contains(reasonPart))
        return ::testing::AssertionFailure() << "expected one line with '" << reasonPart.toStdString() << "': " << r;
    return ::testing::AssertionSuccess();
}

TEST_F(CliFailureTest, AnUnreadableListKeepsEveryWord) {
    EXPECT_TRUE(failedWithOneLine(on({"import", path("missing.txt")}), "missing.txt"));
    EXPECT_EQ(wordCount(), kWords.size());
    EXPECT_TRUE(failedWithOneLine(on({"import", dir.path()}), "The import stopped"));
    EXPECT_EQ(wordCount(), kWords.size());
    EXPECT_EQ(ReadFile(database), before);
}

TEST_F(CliFailureTest, AFullDiskIsReported) {
    EXPECT_TRUE(failedWithOneLine(on({"export", "/dev/full"}), "The export stopped"));

    CliOptions full;
    full.standardOutputFile = QStringLiteral("/dev/full");
    const CliResult r = on({"anagram", "tea"}, full);
    EXPECT_TRUE(failedWithOneLine(r, "the results could not be written: No space left on device"));
    EXPECT_EQ(ReadFile(database), before);
}

TEST_F(CliFailureTest, ALockedDatabaseIsReportedWithinABoundedWait) {
    Connection holder = Connection::open(database);
    holder.execute("BEGIN EXCLUSIVE");
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(failedWithOneLine(on({"add", "kiwi"}), "lock"));
    EXPECT_TRUE(failedWithOneLine(on({"anagram", "tea"}), "lock"));
    EXPECT_LT(timer.elapsed(), 30000);
    holder.rollback();
    holder.close();
    EXPECT_EQ(wordCount(), kWords.size());

    // Another program writing (not yet committing) leaves the words readable.
    holder = Connection::open(database);
    holder.execute("BEGIN IMMEDIATE");
    holder.execute("INSERT INTO [Dictionary] ([Word]) VALUES ('pending')");
    const CliResult r = on({"anagram", "tea"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.lines(), (QStringList{"ate", "eat", "tea"}));
    EXPECT_TRUE(failedWithOneLine(on({"delete", "tea"}), "lock"));
    holder.rollback();
    EXPECT_EQ(wordCount(), kWords.size());
}

TEST_F(CliFailureTest, AReadOnlyDatabaseIsSearchedButNotChanged) {
    // As root, the file's rights would not stop a write: the program then runs as nobody.
    CliOptions readOnly;
    if (::geteuid() == 0) {
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(database).constData(), 0644), 0);
        readOnly.childModifier = [] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(126);
        };
    } else {
        ASSERT_EQ(::chmod(QFile::encodeName(database).constData(), 0444), 0);
    }
    const QString list = path("list.txt");
    WriteFile(list, "kiwi\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(list).constData(), 0644), 0);

    const CliResult search = on({"anagram", "tea"}, readOnly);
    EXPECT_EQ(search.code, 0) << search;
    EXPECT_EQ(search.lines(), (QStringList{"ate", "eat", "tea"}));
    for (const QStringList& command : {QStringList{"add", "kiwi"}, QStringList{"delete", "tea"},
                                       QStringList{"import", list}, QStringList{"rebuild"}, QStringList{"compact"}})
        EXPECT_TRUE(failedWithOneLine(on(command, readOnly), "is read-only")) << command.join(' ').toStdString();
    EXPECT_EQ(ReadFile(database), before);
}

// The window's settings file names the database when --db does not: beside the program, or in the user's
// configuration folder when the program's folder has none.
TEST_F(CliFailureTest, WithoutDbTheWindowsLastDatabaseIsUsed) {
    const QString programFolder = path("program");
    ASSERT_TRUE(QDir().mkpath(programFolder));
    CliOptions copy;
    copy.program = programFolder + "/lexivo-cli";
    ASSERT_TRUE(QFile::copy(kCliProgram, copy.program));

    EXPECT_TRUE(failedWithOneLine(cli({"stats"}, copy), "name one with --db FILE"));

    const QString fallback = path("config/Lexivo/lexivo.ini");
    ASSERT_TRUE(QDir().mkpath(path("config/Lexivo")));
    WriteFile(fallback, QFile::encodeName(database) + "\r\n");
    CliResult r = cli({"stats"}, copy);
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.output(), QStringLiteral("Database contains %1 words.\n").arg(kWords.size()));

    const QString other = path("other words.mdb");
    CreateWordDatabase(other, {"pots", "stop"});
    WriteFile(programFolder + "/lexivo.ini", QFile::encodeName(other) + "\r\n");
    r = cli({"palindromes"}, copy);
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(r.lines(), (QStringList{"pots", "stop"}));
    // --db wins over the settings.
    r = cli({"--db", database, "palindromes"}, copy);
    EXPECT_EQ(r.lines(), (QStringList{"level", "pots", "stop"}));

    ASSERT_TRUE(QFile::remove(other));
    EXPECT_TRUE(failedWithOneLine(cli({"palindromes"}, copy), "the one the Lexivo window last had open"));
}

TEST_F(CliFailureTest, CtrlCStopsAnImportAfterTheCurrentWordAndKeepsWhatWasStored) {
    // Enough words that the import is still running when the interrupt comes.
    constexpr int kListWords = 400000;
    QByteArray list;
    for (int i = 0; i < kListWords; ++i) {
        QByteArray word;
        for (int n = i; word.size() < 5 || n > 0; n /= 26) word += char('a' + n % 26);
        list += word + "\r\n";
    }
    const QString listPath = path("big.txt");
    WriteFile(listPath, list);

    CliOptions interrupted;
    interrupted.whileRunning = [this](QProcess& process) {
        // Once the first batch is stored, the run is well under way (and the interrupt handler in place).
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 && process.state() == QProcess::Running) {
            try {
                Connection db = Connection::open(database);
                db.setBusyTimeout(0);
                if (WordCount(db) > kWords.size()) break;
            } catch (const Error&) {
            }
            QThread::msleep(50);
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    };
    const CliResult r = on({"import", listPath, "--append"}, interrupted);
    ASSERT_FALSE(r.crashed) << r;
    EXPECT_EQ(r.code, 130) << r;
    EXPECT_TRUE(r.out.isEmpty());
    ASSERT_EQ(r.messages().size(), 1) << r;
    EXPECT_TRUE(r.messages().first().startsWith("Import Complete. ")) << r;
    const qint64 imported = wordCount() - kWords.size();
    EXPECT_GT(imported, 0);
    EXPECT_LT(imported, kListWords);
    // The message counts exactly the words that were kept.
    EXPECT_TRUE(r.error().startsWith(QStringLiteral("Import Complete. %1 words imported,").arg(imported))) << r;
}

}  // namespace
}  // namespace lexivo::test
