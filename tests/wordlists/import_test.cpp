#include "wordlists/import.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/engine.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::FakeRun;
using test::ScriptedDialogs;
using test::StoredWords;

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dbPath = dir.filePath("words.mdb");
        test::CreateWordDatabase(dbPath);
        test::OpenWordDatabase(state, dbPath);
    }
    ImportResult importFile(const QString& list, bool append = false) {
        return ImportWords(
            db(), list, append, [&] { return filter; }, run, dialogs);
    }
    ImportResult import(const QByteArray& bytes, bool append = false) {
        test::WriteFile(dir.filePath("list.txt"), bytes);
        return importFile(dir.filePath("list.txt"), append);
    }
    Connection& db() { return state.CurrentDatabase; }

    QTemporaryDir dir;
    QString dbPath;
    DatabaseState state;
    WordFilter filter;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(ImportTest, FilterRulesAndFilteredDuplicates) {
    import("at\r\n");
    filter.minimumOn = true;
    filter.minimum = 3;
    filter.removeOn = true;
    filter.remove = "-";
    // "at" is filtered out but is in the table, so it counts as a duplicate; a lone hyphen becomes a blank.
    import("at\r\nice-cream\r\na-b-c\r\n-\r\nto\r\n", true);
    EXPECT_EQ(StoredWords(db()), QStringList({"at", "icecream", "ab-c"}));
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 2 words imported,1 duplicates skipped, 1, blanks skipped.");
}

TEST_F(ImportTest, StopKeepsTheWordsStoredSoFar) {
    run.stopAtRecord = 2;
    const auto result = import("one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(StoredWords(db()), QStringList({"one", "two"}));
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 2 words imported,0 duplicates skipped, 0, blanks skipped.");
    EXPECT_FALSE(db().inTransaction());
    // The key indexes, built at the end of a replacing import, are there after a stop too.
    const QStringList indexes = db().indexNames("Dictionary");
    EXPECT_TRUE(indexes.contains("Word") && indexes.contains("Sorted") && indexes.contains("Letters"));
}

TEST_F(ImportTest, FilterChangesApplyFromTheNextItem) {
    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    import("ax\r\nbx\r\ncx\r\n");
    EXPECT_EQ(StoredWords(db()), QStringList({"ax"}));
}

TEST_F(ImportTest, UnreadableListLeavesTheTableAlone) {
    import("keep\r\n");
    EXPECT_FALSE(importFile(dir.filePath("missing.txt")).ok());
    EXPECT_EQ(dialogs.shown().back().kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.lastText().contains("missing.txt")) << dialogs.lastText().toStdString();
    EXPECT_EQ(StoredWords(db()), QStringList({"keep"}));
    EXPECT_TRUE(run.stopFlag());
    EXPECT_EQ(run.ends, 2);
}

}  // namespace
}  // namespace lexivo
