// The word database stays a plain SQLite file: the stock sqlite3 tool, with none of the program's functions,
// opens what the program wrote (also after a killed import), checks it, selects with the program's case rules
// and inserts; the program then opens it normally and finds the tool's words.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "support/run_search.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class OtherTools : public ::testing::Test {
protected:
    void SetUp() override {
        tool = QStandardPaths::findExecutable("sqlite3");
        if (tool.isEmpty()) GTEST_SKIP() << "no sqlite3 tool";
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
    }
    // The tool's output, or the test fails when the tool does.
    // With the program's extension loaded, unless extension is false.
    QString sqlite(const QString& sql, bool extension = true) {
        QStringList arguments{"-batch", "-bail", path, sql};
        if (extension) arguments = QStringList{"-cmd", ".load " LEXIVO_SQLITE_EXTENSION} + arguments;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(tool, arguments);
        process.waitForFinished();
        const QString output = QString::fromUtf8(process.readAll()).trimmed();
        EXPECT_EQ(process.exitCode(), 0) << sql.toStdString() << "\n" << output.toStdString();
        return output;
    }

    QString tool;
    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
};

TEST_F(OtherTools, TheStockToolReadsChecksAndWritesWhatTheProgramWrote) {
    // Written by the program: created, filled by an import (which drops and rebuilds its indexes), a word added.
    CreateWordDatabase(path);
    DatabaseState state;
    OpenWordDatabase(state, path);
    const QString list = dir.filePath("list.txt");
    WriteFile(list, WordListBytes(GeneratedWords(5000, 11) + QStringList{"tea", "eat", "Ate", "o'clock"}));
    ScriptedDialogs dialogs;
    FakeRun run;
    ASSERT_TRUE(ImportWords(
                    state.CurrentDatabase, list, false, [] { return WordFilter(); }, run, dialogs)
                    .ok());
    EXPECT_EQ(AddWord(state.CurrentDatabase, "level", dialogs.yes()), AddResult::Added);
    state.CurrentDatabase.close();

    EXPECT_EQ(sqlite("PRAGMA integrity_check;"), "ok");
    EXPECT_EQ(sqlite("SELECT COUNT(*) FROM Dictionary;"), "5005");
    // Without the extension the rows can still be counted and read.
    EXPECT_EQ(sqlite("SELECT COUNT(*) FROM Dictionary NOT INDEXED;", false), "5005");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary NOT INDEXED ORDER BY rowid DESC LIMIT 1;", false), "level");
    // The extension gives the tool the program's word order, so it compares and sorts as the program does.
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary WHERE Word = 'ATE';"), "Ate");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary WHERE Sorted = 'tea' ORDER BY Word;"), "Ate\neat\ntea");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary WHERE Word = 'o''clock';"), "o'clock");
    const QString plan = sqlite("EXPLAIN QUERY PLAN SELECT Word FROM Dictionary WHERE Word = 'tea';");
    EXPECT_TRUE(plan.contains("USING INDEX Word") || plan.contains("USING COVERING INDEX Word")) << plan.toStdString();
    sqlite("INSERT INTO Dictionary (Word, Sorted, Letters) VALUES ('zebra', 'zreba', 'zreba');");
    sqlite("INSERT INTO Dictionary (Word) VALUES ('pots');");  // no keys: the check will offer to add them
    EXPECT_EQ(sqlite("PRAGMA integrity_check;"), "ok");

    // The program opens it again normally, and finds the tool's words.
    RecordingView view;
    state.DatabasePath = path;
    dialogs.clear();
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(view.status, "5007 words.");
    EXPECT_EQ(RunSearchForTest(state.CurrentDatabase, TestMode::Anagram, "bazer"), QStringList({"zebra"}));
    EXPECT_EQ(CheckDatabase(state.CurrentDatabase, run, dialogs.yes()), CheckResult::Rebuilt);
    EXPECT_EQ(StoredKeys(state.CurrentDatabase, "pots"), "tspo|tspo");
    state.CurrentDatabase.close();
    EXPECT_EQ(sqlite("SELECT Letters FROM Dictionary WHERE Word = 'pots';"), "tspo");
}

}  // namespace
}  // namespace lexivo
