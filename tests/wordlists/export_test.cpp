#include "wordlists/export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "common/leading_number.h"
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
    void expectFailure(const ExportResult& result, const QString& file, const QString& reason) {
        EXPECT_FALSE(result.ok());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown().front().kind, ScriptedDialogs::Kind::Failure);
        EXPECT_EQ(dialogs.lastText(),
                  "The export stopped: Cannot write " + file + ": " + reason + "\n\nThe file was left as it was.");
        expectIdleAfterOneRun();
    }

    QTemporaryDir dir;
    DatabaseState state;
    WordFilter filter;
    FakeRun run;
    ScriptedDialogs dialogs;
};

// Appending adds to the file; replacing starts it afresh. With nothing to write the file is still made.
TEST_F(ExportTest, AppendOrReplace) {
    useDatabase({"one", "two"});
    const QString file = dir.filePath("out.txt");
    WriteFile(file, "old\r\n");
    exportWords(file, true);
    exportSelection({"three"}, file, true);
    exportSelection({}, file, true);
    EXPECT_EQ(ReadFile(file), "old\r\none\r\ntwo\r\nthree\r\n");
    exportWords(file);
    EXPECT_EQ(ReadFile(file), "one\r\ntwo\r\n");
    const QString fresh = dir.filePath("fresh.txt");
    exportSelection({}, fresh);
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_EQ(dialogs.texts(), QStringList(5, "Export Complete."));
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

    // A change of the filter during the run applies from the next word.
    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    exportSelection({"ax", "bx", "c"}, file);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\n");
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

}  // namespace
}  // namespace lexivo
