#include "store/current_database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/schema.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::ReadFile;
using test::ScriptedDialogs;

class LoadTest : public ::testing::Test {
protected:
    bool load(const QString& path) {
        state.DatabasePath = path;
        return LoadDatabase(state, view, dialogs);
    }
    QTemporaryDir dir;
    DatabaseState state;
    test::RecordingView view;
    ScriptedDialogs dialogs;
};

TEST_F(LoadTest, NewDatabaseHasTheTableInFieldOrderAndIsEmpty) {
    const QString path = dir.filePath("my.words.mdb");
    test::WriteFile(dir.filePath("my.words.bak"), "a stale backup");
    Connection db;
    ASSERT_TRUE(OpenOrCreateDatabase(db, path, dialogs));
    EXPECT_FALSE(QFile::exists(dir.filePath("my.words.bak")));
    ASSERT_TRUE(load(path));
    CompleteNewDatabase(state.CurrentDatabase, dialogs);
    QStringList fields;
    for (const auto& c : state.CurrentDatabase.columns("Dictionary")) fields << c.name;
    EXPECT_EQ(fields, QStringList({"ID", "Letters", "Sorted", "Word"}));
    EXPECT_TRUE(IndexExists(state.CurrentDatabase, "Dictionary", "Word"));
    EXPECT_EQ(state.CurrentDatabase.tableNames(), QStringList({"Dictionary"}));
    EXPECT_EQ(view.status, "0 words.");
    EXPECT_EQ(view.caption, "my.words.mdb");
    EXPECT_EQ(dialogs.texts(), QStringList({kEmptyDatabaseMessage}));
    EXPECT_EQ(view.windowShown, 1);

    Connection nowhere;
    EXPECT_FALSE(OpenOrCreateDatabase(nowhere, dir.filePath("no/such/folder/x.mdb"), dialogs));
    EXPECT_EQ(dialogs.shown().size(), 2u);
    EXPECT_FALSE(nowhere.isOpen());
}

TEST_F(LoadTest, CountsAndCaption) {
    const QString path = dir.filePath("one word.mdb");
    test::CreateWordDatabase(path, {"cat"});
    ASSERT_TRUE(load(path));
    EXPECT_EQ(view.status, "1 words.");
    EXPECT_EQ(view.caption, "one word.mdb");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(state.loaded());
}

TEST_F(LoadTest, MissingFileGivesNoDatabaseSilently) {
    view.status = "kept";
    EXPECT_FALSE(load(dir.filePath("gone.mdb")));
    EXPECT_TRUE(state.DatabasePath.isEmpty());
    EXPECT_EQ(view.caption, "(No Database Loaded)");
    EXPECT_EQ(view.status, "kept");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(load(QString()));
}

TEST_F(LoadTest, OlderTableGetsItsKeyFieldsAndIndexes) {
    const QString path = dir.filePath("old.mdb");
    {
        Connection db = Connection::create(path);
        db.execute("CREATE TABLE Dictionary (ID INTEGER, Word TEXT(255) COLLATE NOCASE)");
        db.execute("INSERT INTO Dictionary(Word) VALUES ('apple'), ('pear')");
    }
    ASSERT_TRUE(load(path));
    EXPECT_EQ(view.status, "2 words.");
    EXPECT_EQ(test::StoredKeys(state.CurrentDatabase, "apple"), "<null>|<null>");
    const QStringList indexes = state.CurrentDatabase.indexNames("Dictionary");
    EXPECT_TRUE(indexes.contains("Word") && indexes.contains("Sorted") && indexes.contains("Letters"))
        << indexes.join(',').toStdString();
}

TEST_F(LoadTest, FilesThatAreNotWordDatabasesAreReportedAndLeftUnchanged) {
    const QString good = dir.filePath("good.mdb");
    test::CreateWordDatabase(good, {"a", "b", "c"});
    QByteArray random(4096, 0);
    for (int i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
    {
        Connection other = Connection::create(dir.filePath("other.sqlite"));
        other.execute("CREATE TABLE notes (body TEXT)");
        Connection wrong = Connection::create(dir.filePath("wrong.sqlite"));
        wrong.execute("CREATE TABLE Dictionary (ID INTEGER, Word INTEGER)");
    }
    const struct {
        const char* name;
        QByteArray bytes;  // written first unless empty
        QString reason;    // a part of the message besides the path
    } cases[] = {
        {"empty.mdb", {}, {}},
        {"text.mdb", "apple\r\npear\r\n", {}},
        {"truncated.mdb", ReadFile(good).left(700), {}},
        {"random.mdb", random, {}},
        {"other.sqlite", {}, "no table Dictionary"},
        {"wrong.sqlite", {}, "not text"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        if (!c.bytes.isEmpty() || !QFile::exists(path)) test::WriteFile(path, c.bytes);
        const QByteArray before = ReadFile(path);
        dialogs.clear();
        EXPECT_FALSE(load(path));
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::Failure);
        EXPECT_TRUE(dialogs.lastText().contains(path));
        EXPECT_TRUE(dialogs.lastText().contains(c.reason)) << dialogs.lastText().toStdString();
        EXPECT_TRUE(state.DatabasePath.isEmpty());
        EXPECT_EQ(ReadFile(path), before);
    }
}

}  // namespace
}  // namespace lexivo
