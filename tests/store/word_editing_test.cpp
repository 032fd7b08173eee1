#include "store/word_editing.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/current_database.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::ScriptedDialogs;
using test::StoredKeys;
using test::StoredWords;

class WordEditingTest : public ::testing::Test {
protected:
    void open(const QStringList& words) {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
    Connection& db() { return state.CurrentDatabase; }

    QTemporaryDir dir;
    QString path;
    DatabaseState state;
    ScriptedDialogs dialogs;
};

// The text is stored exactly as typed, spaces, quotes and all, with the keys of that text.
TEST_F(WordEditingTest, AddAsksThenStoresTheWordWithItsKeys) {
    open({"dog"});
    dialogs.yes().yes().yes();
    EXPECT_EQ(AddWord(db(), " ice cream ", dialogs), AddResult::Added);
    EXPECT_EQ(AddWord(db(), "don't", dialogs), AddResult::Added);
    EXPECT_EQ(AddWord(db(), "Zoë", dialogs), AddResult::Added);
    EXPECT_EQ(dialogs.texts(), QStringList({"Add ' ice cream ' to database?", "OK!", "Add 'don't' to database?", "OK!",
                                            "Add 'Zoë' to database?", "OK!"}));
    EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Notice);
    EXPECT_EQ(StoredWords(db()), QStringList({"dog", " ice cream ", "don't", "Zoë"}));
    EXPECT_EQ(StoredKeys(db(), " ice cream "), "rmieecca   |rmieca ");
    EXPECT_EQ(StoredKeys(db(), "don't"), "tond'|tond'");
    EXPECT_EQ(StoredKeys(db(), "Zoë"), "ëoZ|ëoZ");
}

TEST_F(WordEditingTest, AddThatStoresNothing) {
    open({"cat"});
    dialogs.no().yes();
    EXPECT_EQ(AddWord(db(), "", dialogs), AddResult::NothingToAdd);
    EXPECT_EQ(AddWord(db(), "dog", dialogs), AddResult::Declined);
    EXPECT_EQ(AddWord(db(), "CAT", dialogs), AddResult::AlreadyPresent);  // the case of A-Z is ignored
    EXPECT_EQ(AddWord(db(), QString(256, 'a'), dialogs), AddResult::TooLong);
    EXPECT_EQ(dialogs.texts(), QStringList({"Nothing to add!", "Add 'dog' to database?", "Add 'CAT' to database?",
                                            "Already in database!",
                                            "Word too long! A word can have at most 255 characters; this one has "
                                            "256."}));
    EXPECT_EQ(dialogs.shown().back().kind, ScriptedDialogs::Kind::Failure);
    // A line break or a tab would split the word in every list it is written to: refused before the question.
    for (const QString& text : {QStringLiteral("ab\ncd"), QStringLiteral("ab\tcd"), QStringLiteral("x\u2028y")}) {
        dialogs.clear();
        EXPECT_EQ(AddWord(db(), text, dialogs), AddResult::ControlCharacters);
        ASSERT_EQ(dialogs.shown().size(), 1U);
        EXPECT_TRUE(dialogs.lastText().startsWith("A word cannot hold control characters")) << text.toStdString();
    }
    EXPECT_EQ(StoredWords(db()), QStringList({"cat"}));

    dialogs.yes();
    EXPECT_EQ(AddWord(db(), QString(255, 'b'), dialogs), AddResult::Added);
    EXPECT_EQ(db().scalar("SELECT LEN([Sorted]) FROM [Dictionary] WHERE LEN([Word])=255"), 255);
}

TEST_F(WordEditingTest, DeleteRemovesEveryMatchingRowAndNothingElse) {
    EXPECT_EQ(DeleteCurrentQuestion("cat"), "Delete cat ?");
    EXPECT_EQ(DeleteSelectedQuestion(3), "Delete 3 selected words?");
    open({"cat", "Cat", "CAT", "cat", "c?t", "cart", "don't", "dont"});
    const DeleteResult result = DeleteWords(db(), {"cat", "don't", "c?t"}, dialogs);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.rowsRemoved, 6);
    EXPECT_EQ(StoredWords(db()), QStringList({"cart", "dont"}));
    EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
}  // namespace lexivo
