// The File menu's New, Open and Close commands in the main window.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "shell/frm_import.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

class FileCommandsTest : public WindowTest {
protected:
    QString caption() { return window->Fme_Search->title(); }
    QString status() { return window->Status->text(); }
    QString loaded() { return window->database().DatabasePath; }
    bool hasWordIndex() {
        return window->database().CurrentDatabase.indexNames("Dictionary").contains("Word", Qt::CaseInsensitive);
    }
};

TEST_F(FileCommandsTest, NewOverTheLoadedDatabaseRecreatesItEmpty) {
    const QString database = startWithDatabase({"tea", "eat", "ate"});
    open();
    dialogs.fileName(database).yes();
    window->Mnu_File_New->trigger();
    ASSERT_EQ(dialogs.shown().size(), 3u);
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.texts(), QStringList({"*.mdb", "File exists, overwrite?", kEmptyDatabaseMessage}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList({"File exists, overwrite?"}));  // Enter keeps the words
    EXPECT_EQ(caption() + " " + status(), "english.mdb 0 words.");
    EXPECT_EQ(loaded(), database);
    EXPECT_EQ(WordCount(window->database().CurrentDatabase), 0);
    EXPECT_TRUE(hasWordIndex());
    expectIdle();
}

TEST_F(FileCommandsTest, NewRemovesTheStaleBackupOrGoesOnWhenItCannot) {
    open();
    const QString database = path("fresh.mdb");
    for (const bool removable : {true, false}) {
        SCOPED_TRACE(removable);
        dialogs.clear();
        QFile::remove(database);
        // A folder in the way cannot be removed as a file.
        if (removable)
            WriteFile(path("fresh.bak"), "stale");
        else
            ASSERT_TRUE(QDir().mkpath(path("fresh.bak/inside")));
        dialogs.fileName(database);
        window->Mnu_File_New->trigger();
        const QStringList texts = {"*.mdb", "Error deleting backup file " + path("fresh.bak"), kEmptyDatabaseMessage};
        EXPECT_EQ(dialogs.texts(), removable ? QStringList({texts[0], texts[2]}) : texts);
        EXPECT_FALSE(QFileInfo(path("fresh.bak")).isFile());
        EXPECT_EQ(caption() + " " + status(), "fresh.mdb 0 words.");
        EXPECT_TRUE(hasWordIndex());
    }
    window->close();
    EXPECT_EQ(settingsBytes(), QFile::encodeName(database) + "\r\n");
}

TEST_F(FileCommandsTest, NewThatIsCancelledRefusedOrCannotDeleteTheOldFileKeepsTheLoadedDatabase) {
    const QString database = startWithDatabase({"tea"});
    const QString other = path("other.mdb");
    WriteFile(other, "keep me");
    const QString blocked = path("blocked.mdb");
    ASSERT_TRUE(QDir().mkpath(blocked + "/inside"));
    open();
    dialogs.fileName(QString());
    window->Mnu_File_New->trigger();
    dialogs.fileName(other).no();
    window->Mnu_File_New->trigger();
    dialogs.fileName(blocked).yes();
    window->Mnu_File_New->trigger();
    ASSERT_EQ(dialogs.shown().size(), 6u);
    EXPECT_EQ(dialogs.shown()[5].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.lastText().startsWith("Error deleting file " + blocked + ": "))
        << dialogs.lastText().toStdString();
    EXPECT_EQ(ReadFile(other), "keep me");
    EXPECT_EQ(loaded(), database);
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(caption(), "english.mdb");
}

TEST_F(FileCommandsTest, NewInAMissingFolderOrOpenOfANonDatabaseUnloadsWithTheReason) {
    const QString notes = path("notes.mdb");
    const QByteArray bytes = "These are my notes, not a database.\r\n";
    WriteFile(notes, bytes);
    const std::pair<QAction * Frm_Main::*, QString> cases[] = {
        {&Frm_Main::Mnu_File_New, path("no/such/folder/new.mdb")},
        {&Frm_Main::Mnu_File_Open, notes},
    };
    for (const auto& [command, chosen] : cases) {
        SCOPED_TRACE(chosen.toStdString());
        startWithDatabase({"tea"});
        open();
        dialogs.clear();
        dialogs.fileName(chosen);
        (window.get()->*command)->trigger();
        ASSERT_EQ(dialogs.shown().size(), 2u);
        EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Failure);
        EXPECT_TRUE(dialogs.lastText().contains(chosen)) << dialogs.lastText().toStdString();
        EXPECT_EQ(caption(), "(No Database Loaded)");
        EXPECT_TRUE(loaded().isEmpty());
        EXPECT_FALSE(window->Mnu_File_Close->isEnabled());
    }
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::OpenFile);
    EXPECT_EQ(ReadFile(notes), bytes);
}

TEST_F(FileCommandsTest, OpenOfAnotherDatabaseAndOfAMissingFile) {
    startWithDatabase({"tea"});
    const QString second = path("second.mdb");
    CreateWordDatabase(second, {"one", "two", "three", "four"});
    open();
    dialogs.fileName(second);
    window->Mnu_File_Open->trigger();
    EXPECT_EQ(caption() + " " + status(), "second.mdb 4 words.");
    EXPECT_EQ(loaded(), second);

    dialogs.fileName(path("vanished.mdb"));
    window->Mnu_File_Open->trigger();
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_TRUE(loaded().isEmpty());
    // A file the user chose that has gone since is said, as a file named on the command line is.
    EXPECT_EQ(dialogs.lastText(),
              "Unable to open the word database " + path("vanished.mdb") + "\n\nThere is no such file.");
}

// The Import/Export window leaves the main window as it was, but for a word count its import made wrong.
TEST_F(FileCommandsTest, AfterAnImportTheStatusLineShowsTheTrueCount) {
    startWithDatabase({"tea", "eat"});
    open();
    WriteFile(path("list.txt"), "a\r\nb\r\nc\r\n");
    window->results().append(QStringList{"tea"});
    QTimer::singleShot(0, [this] {
        auto* importer = window->findChild<Frm_Import*>();
        ASSERT_NE(importer, nullptr);
        importer->setFolder(dir.path());
        importer->Txt_Filename->setText("list.txt");
        dialogs.yes();
        importer->Cmd_OK->click();
        importer->Cmd_Cancel->click();
    });
    window->Mnu_File_Import->trigger();
    EXPECT_EQ(status(), "3 words.");
    EXPECT_EQ(window->results().words(), QStringList({"tea"}));
}

TEST_F(FileCommandsTest, CloseUnloadsAndKeepsTheStatusLine) {
    startWithDatabase({"tea", "eat"});
    open();
    window->Mnu_File_Close->trigger();
    EXPECT_EQ(caption() + " " + status(), "(No Database Loaded) 2 words.");
    EXPECT_FALSE(window->Fme_Search->isEnabled());
    EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
    EXPECT_TRUE(dialogs.shown().empty());
    window->close();
    EXPECT_EQ(settingsBytes(), "\r\n");
}

}  // namespace
}  // namespace lexivo::test
