#include "wordlists/export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "store/engine.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::FakeRun;
using test::ReadFile;
using test::ScriptedDialogs;
using test::WriteFile;

WordFilter Lengths(bool minimumOn, double minimum, bool maximumOn, double maximum) {
    WordFilter filter;
    filter.minimumOn = minimumOn;
    filter.minimum = minimum;
    filter.maximumOn = maximumOn;
    filter.maximum = maximum;
    return filter;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void useDatabase(const QStringList& words) {
        const QString path = dir.filePath("words.mdb");
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
    ExportResult exportWords(const QString& file, bool append = false) {
        return ExportWords(
            state.CurrentDatabase, file, append, [&] { return filter; }, run, dialogs);
    }
    ExportResult exportSelection(const QStringList& words, const QString& file, bool append = false) {
        return ExportSelection(
            words, file, append, [&] { return filter; }, run, dialogs);
    }
    // The run ended and put the window back to idle, whatever happened.
    void expectIdleAfterOneRun() {
        EXPECT_EQ(run.begins, 1);
        EXPECT_EQ(run.ends, 1);
        EXPECT_TRUE(run.stopFlag());
        EXPECT_EQ(run.statuses.first(), "Exporting data...");
        EXPECT_EQ(run.statuses.last(), "");
        EXPECT_EQ(run.value, 0);
    }

    QTemporaryDir dir;
    DatabaseState state;
    WordFilter filter;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST(ExportQueryTextTest, LengthLimitsGoInAsPlainNumbers) {
    EXPECT_EQ(ExportQueryText({}), "SELECT * FROM [Dictionary]  ORDER BY [Word]");
    EXPECT_EQ(ExportQueryText(Lengths(true, 3, true, 8)),
              "SELECT * FROM [Dictionary]  WHERE  LEN([Word])>=3 AND LEN([Word])<=8 ORDER BY [Word]");
    EXPECT_EQ(ExportQueryText(Lengths(true, 4, false, 8)),
              "SELECT * FROM [Dictionary]  WHERE  LEN([Word])>=4 ORDER BY [Word]");
    EXPECT_EQ(ExportQueryText(Lengths(false, 4, true, 25)),
              "SELECT * FROM [Dictionary]  WHERE  LEN([Word])<=25 ORDER BY [Word]");
    // Whatever the boxes hold, only the number they read as reaches the query: no exponent, no text.
    EXPECT_EQ(ExportQueryText(Lengths(true, LeadingNumber("2.5 letters"), true, LeadingNumber("8) OR (1=1"))),
              "SELECT * FROM [Dictionary]  WHERE  LEN([Word])>=2.5 AND LEN([Word])<=8 ORDER BY [Word]");
    EXPECT_EQ(ExportQueryText(Lengths(true, LeadingNumber("abc"), true, LeadingNumber("1" + QString(20, '0')))),
              "SELECT * FROM [Dictionary]  WHERE  LEN([Word])>=0 AND LEN([Word])<=100000000000000000000 ORDER BY "
              "[Word]");
}

TEST_F(ExportTest, WholeDatabaseInWordOrderAsUtf8WithCrLf) {
    useDatabase({"pear", "Apple", QString::fromUtf8("été"), "zebra", "a,b", "banana"});
    const QString file = dir.filePath("out.txt");
    const auto result = exportWords(file);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.written, 6);
    // No byte order mark; the comma is written as it is, without quotes.
    EXPECT_EQ(ReadFile(file), QByteArray("a,b\r\nApple\r\nbanana\r\npear\r\nzebra\r\n\xC3\xA9t\xC3\xA9\r\n"));
    EXPECT_EQ(dialogs.texts(), QStringList({"Export Complete."}));
    EXPECT_EQ(run.maximum, 6);
    expectIdleAfterOneRun();
}

TEST_F(ExportTest, LengthsByQueryThenCharacterFilters) {
    useDatabase({"at", "cat", "ab-c", "lion", "tiger", "dog's", "zebras"});
    filter = Lengths(true, 4, true, 5);
    filter.removeOn = true;
    filter.remove = "-";
    filter.ignoreOn = true;
    filter.ignore = "'";
    const QString file = dir.filePath("out.txt");
    exportWords(file);
    // The length limits see the word as stored: ab-c is long enough and loses its hyphen afterwards.
    EXPECT_EQ(ReadFile(file), "abc\r\nlion\r\ntiger\r\n");
}

TEST_F(ExportTest, AppendOrReplace) {
    useDatabase({"one", "two"});
    const QString file = dir.filePath("out.txt");
    WriteFile(file, "old\r\n");
    exportWords(file, true);
    exportWords(file, true);
    EXPECT_EQ(ReadFile(file), "old\r\none\r\ntwo\r\none\r\ntwo\r\n");
    exportSelection({"three"}, file, true);
    EXPECT_EQ(ReadFile(file), "old\r\none\r\ntwo\r\none\r\ntwo\r\nthree\r\n");
    exportWords(file);
    EXPECT_EQ(ReadFile(file), "one\r\ntwo\r\n");
    EXPECT_EQ(dialogs.texts(), QStringList(4, "Export Complete."));
}

TEST_F(ExportTest, NothingToWriteStillMakesOrKeepsTheFile) {
    useDatabase({});
    const QString empty = dir.filePath("empty.txt");
    exportWords(empty);
    EXPECT_TRUE(QFile::exists(empty));
    EXPECT_EQ(ReadFile(empty), "");

    const QString kept = dir.filePath("kept.txt");
    WriteFile(kept, "old\r\n");
    exportWords(kept, true);
    exportSelection({}, kept, true);
    EXPECT_EQ(ReadFile(kept), "old\r\n");

    const QString selection = dir.filePath("selection.txt");
    exportSelection({}, selection);
    EXPECT_TRUE(QFile::exists(selection));
    EXPECT_EQ(dialogs.texts(), QStringList(4, "Export Complete."));
}

TEST_F(ExportTest, StopEndsTheFileAfterTheLastWordWritten) {
    useDatabase({"a", "b", "c", "d"});
    const QString file = dir.filePath("out.txt");
    WriteFile(file, "old content\r\n");
    run.stopAtRecord = 2;
    const auto result = exportWords(file);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(ReadFile(file), "a\r\nb\r\n");
    EXPECT_EQ(dialogs.texts(), QStringList({"Export Complete."}));
    expectIdleAfterOneRun();
}

TEST_F(ExportTest, SelectionInListOrderWithTheWholeFilterAndNoEntryLimit) {
    filter = Lengths(true, LeadingNumber("3 or more"), true, 5);
    filter.removeOn = true;
    filter.remove = "x";
    const QString file = dir.filePath("out.txt");
    exportSelection({"zoo", "at", "apple", "bananas", "boxes"}, file);
    // On the selection the length limits see the word before anything is removed.
    EXPECT_EQ(ReadFile(file), "zoo\r\napple\r\nboes\r\n");

    QStringList many;
    for (int i = 0; i < 40000; ++i) many << QString::number(i);
    filter = {};
    const auto result = exportSelection(many, file);
    EXPECT_EQ(result.written, 40000);
    EXPECT_TRUE(ReadFile(file).endsWith("\r\n39998\r\n39999\r\n"));
}

TEST_F(ExportTest, FilterChangesApplyFromTheNextWord) {
    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    const QString file = dir.filePath("out.txt");
    exportSelection({"ax", "bx", "c"}, file);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\n");
}

class ExportFailureTest : public ExportTest {
protected:
    void expectFailure(const ExportResult& result, const QString& file, const QString& reason) {
        EXPECT_FALSE(result.ok());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown().front().kind, ScriptedDialogs::Kind::Failure);
        const QString expected =
            "The export stopped: Cannot write " + file + ": " + reason + "\n\nThe file was left as it was.";
        EXPECT_EQ(dialogs.lastText().toStdString(), expected.toStdString());
        expectIdleAfterOneRun();
    }
};

TEST_F(ExportFailureTest, FolderOfThatName) {
    useDatabase({"word"});
    const QString folder = dir.filePath("list.txt");
    ASSERT_TRUE(QDir(dir.path()).mkdir("list.txt"));
    expectFailure(exportWords(folder), folder, "A folder of that name exists.");
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(ExportFailureTest, MissingFolder) {
    const QString file = dir.filePath("missing/list.txt");
    expectFailure(exportSelection({"word"}, file), file, "No such file or directory");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
}

TEST_F(ExportFailureTest, FullDevice) {
    if (!QFileInfo::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    expectFailure(exportSelection({"word"}, "/dev/full"), "/dev/full", "No space left on device");
}

// A file size limit stands in for a full disk under a regular file: writes past it fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(ExportFailureTest, NoRoomKeepsTheEarlierContent) {
    QStringList words;
    for (int i = 0; i < 20000; ++i) words << QStringLiteral("word%1").arg(i);
    const QString file = dir.filePath("list.txt");
    for (const bool append : {false, true}) {
        WriteFile(file, "earlier\r\n");
        ExportResult result;
        {
            FileSizeLimit limit(64 * 1024);
            result = exportSelection(words, file, append);
        }
        expectFailure(result, file, "File too large");
        EXPECT_EQ(ReadFile(file), "earlier\r\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"list.txt"}));  // no temporary file left
        dialogs.clear();
        run = FakeRun();
    }
}

}  // namespace
}  // namespace lexivo
