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

TEST_F(ImportTest, ItemsAreTrimmedCountedAndStoredWithKeys) {
    const auto result = import(" apple \r\napple,pear\r\n\r\nApple\r\n\"a,b\"\r\nletter\r\n");
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(StoredWords(db()), QStringList({"apple", "pear", "a,b", "letter"}));
    EXPECT_EQ(test::StoredKeys(db(), "letter"), "ttrlee|trle");
    EXPECT_EQ(dialogs.texts(),
              QStringList({"Import Complete. 4 words imported,2 duplicates skipped, 1, blanks skipped."}));
    EXPECT_EQ(run.ends, 1);
    EXPECT_EQ(run.statuses, QStringList({"Importing data...", ""}));
    EXPECT_EQ(run.value, 0);
    EXPECT_TRUE(run.stopFlag());

    EXPECT_EQ(ImportCompleteMessage({120, 3, 2, 1}),
              "Import Complete. 120 words imported,3 duplicates skipped, 2, blanks skipped. 1 too long skipped.");
}

TEST_F(ImportTest, ReplaceOrAppend) {
    import("cat\r\ndog\r\n");
    import("emu\r\ncat\r\n", true);
    EXPECT_EQ(StoredWords(db()), QStringList({"cat", "dog", "emu"}));
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 1 words imported,1 duplicates skipped, 0, blanks skipped.");
    import("");
    EXPECT_EQ(StoredWords(db()), QStringList());
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 0 words imported,0 duplicates skipped, 0, blanks skipped.");
}

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

TEST_F(ImportTest, AwkwardCharactersAreOrdinaryWords) {
    const QByteArray list = "don't\r\n100%\r\na_b\r\nx*y\r\nq?r\r\n[ab]\r\nO'Neil's\r\ncafé\r\n😀\r\n";
    import(list);
    EXPECT_EQ(StoredWords(db()), QString::fromUtf8(list).split("\r\n", Qt::SkipEmptyParts));
    // Each is its own duplicate on a second import.
    import(list, true);
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 0 words imported,9 duplicates skipped, 0, blanks skipped.");
    import("caf\xE9\r\n");  // a list that is not UTF-8 is read as code page 1252
    EXPECT_EQ(StoredWords(db()), QStringList({"café"}));
}

// Filling an emptied table, the run finds duplicates itself; appending, it asks the Word index. Both must
// agree: the case of A-Z is ignored, other letters' case is not, and a NUL ends what is compared.
TEST_F(ImportTest, ReplacingAndAppendingFindTheSameDuplicates) {
    const QByteArray list = QString::fromUtf8(
                                "Apple\r\napple\r\nAPPLE \r\n\xC3\x84pfel\r\n\xC3\xA4pfel\r\nstra\xC3\x9F"
                                "e\r\nSTRASSE\r\nab\r\nab \r\n")
                                .toUtf8() +
                            QByteArray("x\0y\r\nX\0z\r\nx\0yz\r\n", 16);
    import(list);
    const QStringList replaced = StoredWords(db());
    const QString replacedMessage = dialogs.lastText();
    db().execute("DELETE FROM [Dictionary]");
    import(list, true);
    EXPECT_EQ(StoredWords(db()), replaced);
    EXPECT_EQ(dialogs.lastText(), replacedMessage);
    EXPECT_TRUE(replacedMessage.startsWith("Import Complete. 8 words imported,4 duplicates skipped"))
        << replacedMessage.toStdString();
}

TEST_F(ImportTest, TooLongWordsAreSkippedAndCounted) {
    const QByteArray w255(255, 'a'), w256(256, 'b');
    import(w255 + "\r\n" + w256 + "\r\nok\r\n");
    EXPECT_EQ(StoredWords(db()), QStringList({QString(w255), "ok"}));
    EXPECT_EQ(dialogs.lastText(),
              "Import Complete. 2 words imported,0 duplicates skipped, 0, blanks skipped. 1 too long skipped.");
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

TEST_F(ImportTest, WriteFailureKeepsEveryCommittedBatch) {
    import("keep\r\n");
    // A second connection holds the file: the first write fails after the busy wait.
    Connection other = Connection::open(dbPath);
    other.execute("BEGIN EXCLUSIVE");
    db().setBusyTimeout(50);
    const auto result = import("new\r\n", true);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(dialogs.lastText().contains("locked")) << dialogs.lastText().toStdString();
    other.rollback();
    EXPECT_EQ(StoredWords(db()), QStringList({"keep"}));
    EXPECT_FALSE(db().inTransaction());
}

}  // namespace
}  // namespace lexivo
