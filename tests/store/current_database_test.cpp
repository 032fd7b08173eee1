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
using test::RecordingView;
using test::ScriptedDialogs;

class LoadTest : public ::testing::Test {
protected:
    bool load(const QString& path) {
        state.DatabasePath = path;
        return LoadDatabase(state, view, dialogs);
    }
    QTemporaryDir dir;
    DatabaseState state;
    RecordingView view;
    ScriptedDialogs dialogs;
};

TEST_F(LoadTest, NewDatabaseHasTheTableInFieldOrderAndIsEmpty) {
    const QString path = dir.filePath("english.mdb");
    Connection db;
    ASSERT_TRUE(OpenOrCreateDatabase(db, path, dialogs));
    state.DatabasePath = path;
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    CompleteNewDatabase(state.CurrentDatabase, dialogs);
    QStringList fields;
    for (const auto& c : state.CurrentDatabase.columns("Dictionary")) fields << c.name;
    EXPECT_EQ(fields, QStringList({"ID", "Letters", "Sorted", "Word"}));
    EXPECT_TRUE(IndexExists(state.CurrentDatabase, "Dictionary", "Word"));
    EXPECT_EQ(state.CurrentDatabase.tableNames(), QStringList({"Dictionary"}));
    EXPECT_EQ(view.status, "0 words.");
    EXPECT_EQ(view.caption, "english.mdb");
    EXPECT_EQ(dialogs.texts(), QStringList({kEmptyDatabaseMessage}));
    EXPECT_EQ(view.windowShown, 1);
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
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    QByteArray truncated;
    {
        const QString good = dir.filePath("good.mdb");
        test::CreateWordDatabase(good, {"a", "b", "c"});
        truncated = ReadFile(good).left(700);
    }
    QByteArray random(4096, 0);
    for (int i = 0; i < random.size(); ++i) random[i] = static_cast<char>((i * 7919 + 13) % 251);
    const Case cases[] = {
        {"empty.mdb", QByteArray()},
        {"text.mdb", QByteArray("apple\r\npear\r\n")},
        {"truncated.mdb", truncated},
        {"random.mdb", random},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        test::WriteFile(path, c.bytes);
        dialogs.clear();
        EXPECT_FALSE(load(path)) << c.name;
        EXPECT_EQ(dialogs.shown().size(), 1u) << c.name;
        EXPECT_EQ(dialogs.shown().at(0).kind, ScriptedDialogs::Kind::Failure);
        EXPECT_TRUE(dialogs.lastText().contains(path)) << c.name;
        EXPECT_TRUE(state.DatabasePath.isEmpty());
        EXPECT_EQ(ReadFile(path), c.bytes) << c.name;
    }
}

TEST_F(LoadTest, OtherSqliteFilesAreNotWordDatabases) {
    const QString noTable = dir.filePath("other.sqlite");
    const QString wrongType = dir.filePath("wrong.sqlite");
    {
        Connection db = Connection::create(noTable);
        db.execute("CREATE TABLE notes (body TEXT)");
        Connection db2 = Connection::create(wrongType);
        db2.execute("CREATE TABLE Dictionary (ID INTEGER, Word INTEGER)");
    }
    const QByteArray before1 = ReadFile(noTable), before2 = ReadFile(wrongType);
    EXPECT_FALSE(load(noTable));
    EXPECT_TRUE(dialogs.lastText().contains("no table Dictionary"));
    EXPECT_FALSE(load(wrongType));
    EXPECT_TRUE(dialogs.lastText().contains("not text"));
    EXPECT_EQ(ReadFile(noTable), before1);
    EXPECT_EQ(ReadFile(wrongType), before2);
}

TEST_F(LoadTest, StaleBackupBesideANewDatabaseIsRemoved) {
    const QString path = dir.filePath("my.words.mdb");
    const QString backup = dir.filePath("my.words.bak");
    test::WriteFile(backup, "old");
    Connection db;
    ASSERT_TRUE(OpenOrCreateDatabase(db, path, dialogs));
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_TRUE(db.isOpen());
}

TEST_F(LoadTest, CreatingInAnUnwritableFolderIsReported) {
    Connection db;
    EXPECT_FALSE(OpenOrCreateDatabase(db, dir.filePath("no/such/folder/x.mdb"), dialogs));
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_FALSE(db.isOpen());
}

}  // namespace
}  // namespace lexivo
