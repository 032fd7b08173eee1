// The File menu's New, Open and Close commands in the main window.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class FileCommandsTest : public WindowTest {
protected:
    QString caption() { return find<QGroupBox>("Fme_Search")->title(); }
    QString status() { return find<QLabel>("Status")->text(); }
    void trigger(const char* item) { find<QAction>(item)->trigger(); }
};

TEST_F(FileCommandsTest, NewOverTheLoadedDatabaseRecreatesItEmpty) {
    const QString database = startWithDatabase({"tea", "eat", "ate"});
    open();
    ASSERT_EQ(status(), "3 words.");
    dialogs.fileName(database).yes();
    trigger("Mnu_File_New");

    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.shown()[0].text, "*.mdb");
    EXPECT_EQ(dialogs.shown()[1].text, "File exists, overwrite?");
    EXPECT_EQ(dialogs.shown()[2].text, kEmptyDatabaseMessage);
    EXPECT_EQ(status(), "0 words.");
    EXPECT_EQ(caption(), "english.mdb");
    EXPECT_EQ(window->database().DatabasePath, database);
    EXPECT_EQ(WordCount(window->database().CurrentDatabase), 0);
    EXPECT_TRUE(window->database().CurrentDatabase.indexNames("Dictionary").contains("Word", Qt::CaseInsensitive));
    EXPECT_TRUE(find<QAction>("Mnu_File_Import")->isEnabled());
}

TEST_F(FileCommandsTest, NewCreatesAndRemovesTheStaleBackup) {
    open();
    const QString database = path("fresh.mdb");
    WriteFile(path("fresh.bak"), "stale");
    dialogs.fileName(database);
    trigger("Mnu_File_New");
    EXPECT_EQ(dialogs.texts(), QStringList({"*.mdb", kEmptyDatabaseMessage}));
    EXPECT_TRUE(QFile::exists(database));
    EXPECT_FALSE(QFile::exists(path("fresh.bak")));
    EXPECT_EQ(caption(), "fresh.mdb");
    window->close();
    EXPECT_EQ(settingsBytes(), QFile::encodeName(database) + "\r\n");
}

TEST_F(FileCommandsTest, NewGoesOnWhenTheStaleBackupCannotBeRemoved) {
    open();
    const QString database = path("fresh.mdb");
    ASSERT_TRUE(QDir().mkpath(path("fresh.bak/inside")));
    dialogs.fileName(database);
    trigger("Mnu_File_New");
    EXPECT_EQ(dialogs.texts(),
              QStringList({"*.mdb", "Error deleting backup file " + path("fresh.bak"), kEmptyDatabaseMessage}));
    EXPECT_EQ(caption(), "fresh.mdb");
    EXPECT_EQ(status(), "0 words.");
    EXPECT_TRUE(window->database().CurrentDatabase.indexNames("Dictionary").contains("Word", Qt::CaseInsensitive));
}

TEST_F(FileCommandsTest, NewInAFolderThatDoesNotExist) {
    startWithDatabase({"tea"});
    open();
    dialogs.fileName(path("no/such/folder/new.mdb"));
    trigger("Mnu_File_New");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_TRUE(window->database().DatabasePath.isEmpty());
}

TEST_F(FileCommandsTest, NewCancelledOrNotOverwrittenChangesNothing) {
    const QString database = startWithDatabase({"tea"});
    const QString other = path("other.mdb");
    WriteFile(other, "keep me");
    open();
    dialogs.fileName(QString());
    trigger("Mnu_File_New");
    dialogs.fileName(other).no();
    trigger("Mnu_File_New");
    EXPECT_EQ(ReadFile(other), "keep me");
    EXPECT_EQ(window->database().DatabasePath, database);
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(caption(), "english.mdb");
}

TEST_F(FileCommandsTest, NewThatCannotDeleteTheOldFileKeepsTheLoadedDatabase) {
    const QString database = startWithDatabase({"tea"});
    // A folder in the way cannot be deleted as a file.
    const QString blocked = path("blocked.mdb");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
    open();
    dialogs.fileName(blocked).yes();
    trigger("Mnu_File_New");
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[2].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.shown()[2].text.startsWith("Error deleting file " + blocked + ": "))
        << dialogs.shown()[2].text.toStdString();
    EXPECT_EQ(window->database().DatabasePath, database);
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(caption(), "english.mdb");
}

TEST_F(FileCommandsTest, OpenOfAFileThatIsNotAWordDatabase) {
    startWithDatabase({"tea"});
    const QString notes = path("notes.mdb");
    const QByteArray bytes = "These are my notes, not a database.\r\n";
    WriteFile(notes, bytes);
    open();
    dialogs.fileName(notes);
    trigger("Mnu_File_Open");
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.shown()[1].text.contains(notes));
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_TRUE(window->database().DatabasePath.isEmpty());
    EXPECT_FALSE(find<QAction>("Mnu_File_Close")->isEnabled());
    EXPECT_EQ(ReadFile(notes), bytes);
}

TEST_F(FileCommandsTest, OpenOfAnotherDatabaseAndOfAMissingFile) {
    startWithDatabase({"tea"});
    const QString second = path("second.mdb");
    CreateWordDatabase(second, {"one", "two", "three", "four"});
    open();
    dialogs.fileName(second);
    trigger("Mnu_File_Open");
    EXPECT_EQ(caption(), "second.mdb");
    EXPECT_EQ(status(), "4 words.");
    EXPECT_EQ(window->database().DatabasePath, second);

    dialogs.fileName(path("vanished.mdb"));
    trigger("Mnu_File_Open");
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_TRUE(window->database().DatabasePath.isEmpty());
    EXPECT_EQ(dialogs.shown().size(), 2u);  // the two file dialogs, nothing else
}

TEST_F(FileCommandsTest, CloseUnloadsAndKeepsTheStatusLine) {
    startWithDatabase({"tea", "eat"});
    open();
    trigger("Mnu_File_Close");
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_FALSE(find<QGroupBox>("Fme_Search")->isEnabled());
    EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(status(), "2 words.");
    EXPECT_TRUE(dialogs.shown().empty());
    window->close();
    EXPECT_EQ(settingsBytes(), "\r\n");
}

}  // namespace
}  // namespace lexivo::test
