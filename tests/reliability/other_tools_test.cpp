// The word database stays a plain SQLite file: the stock sqlite3 tool, with the program's SQLite extension
// loaded, opens what the program wrote (also after a killed import), checks it, selects with the program's case
// rules and inserts; the program then opens it normally and finds the tool's words. Without the extension the
// tool still counts and reads the rows.

#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
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
    QString sqlite(const QString& sql, bool extension = true) {
        QStringList arguments{"-batch", "-bail", path, sql};
        if (extension) arguments = QStringList{"-cmd", ".load " LEXIVO_SQLITE_EXTENSION} + arguments;
        const ChildReport report = RunChild(arguments, {}, tool);
        EXPECT_TRUE(report.exitedNormally()) << sql.toStdString() << "\n" << report.otherOutput.toStdString();
        return report.otherOutput.trimmed();
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
    QStringList found;
    DriverSearch(state.CurrentDatabase, Request(SearchMode::Anagram, "bazer"), run, dialogs,
                 [&](const QString& w) { found << w; });
    EXPECT_EQ(found, QStringList({"zebra"}));
    EXPECT_EQ(CheckDatabase(state.CurrentDatabase, run, dialogs.yes()), CheckResult::Rebuilt);
    EXPECT_EQ(StoredKeys(state.CurrentDatabase, "pots"), "tspo|tspo");
    state.CurrentDatabase.close();
    EXPECT_EQ(sqlite("SELECT Letters FROM Dictionary WHERE Word = 'pots';"), "tspo");
}

TEST_F(OtherTools, TheStockToolOpensADatabaseLeftByAKilledImport) {
    CreateWordDatabase(path, {"earlier"});
    const QString list = dir.filePath("list.txt");
    const QStringList words = GeneratedWords(100000, 12);
    WriteFile(list, WordListBytes(words));
    // Killed once two batches are committed, in the middle of the third: the file has a hot journal beside it.
    ChildProcess child({"--batch", "5000", "--report-commits", path, "import", list, "1"});
    qint64 committed = 0;
    const ChildReport report = child.finish(-1, [&](const QString& line) {
        if (line.startsWith("committed ")) committed = line.mid(10).toLongLong();
        if (committed >= 10001) child.killNow();
    });
    ASSERT_TRUE(report.killed) << report.describe().toStdString();

    // The stock tool rolls the unfinished batch back as it opens the file, and finds it sound.
    EXPECT_EQ(sqlite("PRAGMA integrity_check;"), "ok");
    const qint64 count = sqlite("SELECT COUNT(*) FROM Dictionary;").toLongLong();
    EXPECT_GE(count, committed);
    EXPECT_EQ((count - 1) % 5000, 0);
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary ORDER BY rowid LIMIT 2;"), "earlier\n" + words[0]);

    DatabaseState state;
    OpenWordDatabase(state, path);
    EXPECT_EQ(WordCount(state.CurrentDatabase), count);
    EXPECT_EQ(RowsWithWrongKeys(state.CurrentDatabase), 0);
    std::printf(
        "[ figure ] sqlite3 tool: checked, queried and wrote the program's database, also after a kill "
        "(%lld words committed before it)\n",
        static_cast<long long>(count - 1));
}

}  // namespace
}  // namespace lexivo
