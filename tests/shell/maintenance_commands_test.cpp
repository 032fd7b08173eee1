#include "shell/maintenance_commands.h"

#include <QLabel>
#include <QTimer>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class MaintenanceCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        QStringList words;
        for (int i = 0; i < 300; ++i) words << QStringLiteral("word%1").arg(i);
        database = startWithDatabase(words);
        openShown();
        InstallMaintenanceCommands(*window);
        InstallMaintenanceCommands(*window);  // a second time connects nothing more
        window->results().append({"word1", "word2"});
    }
    Connection& db() { return window->database().CurrentDatabase; }
    QString database;
};

TEST_F(MaintenanceCommandsTest, CheckRunsTheQuickRebuildOnYes) {
    db().execute("UPDATE [Dictionary] SET [Letters]=NULL WHERE rowid <= 10");
    dialogs
        .onNextShown([&] {
            EXPECT_FALSE(window->Fme_Search->isEnabled());
            EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
            EXPECT_EQ(window->Status->text(), "Checking database...");
        })
        .yes();
    window->Mnu_File_Check->trigger();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dialogs.lastText().endsWith("Would you like to perform a quick re-build now?"));
    EXPECT_EQ(StoredKeys(db(), "word1"), "wrod1|wrod1");
    EXPECT_EQ(window->results().count(), 2);  // the quick re-build leaves the list alone
    expectIdle();
}

TEST_F(MaintenanceCommandsTest, CompleteRebuildClearsTheList) {
    db().execute("UPDATE [Dictionary] SET [Sorted]='x'");
    window->Mnu_File_Rebuild->trigger();
    EXPECT_EQ(window->results().count(), 0);
    EXPECT_EQ(StoredKeys(db(), "word12"), "wrod21|wrod21");
    EXPECT_EQ(window->Status->text(), "");
    EXPECT_TRUE(dialogs.shown().empty());
    expectIdle();
}

TEST_F(MaintenanceCommandsTest, CompactionClearsTheListAndReloads) {
    db().execute("DELETE FROM [Dictionary] WHERE rowid > 100");
    // The window goes on handling its events (painting among them) while the copy is written, and shows why.
    QStringList seen;
    QTimer tick;
    // A close request then waits: the shutdown must not run on a database that is being replaced.
    QObject::connect(&tick, &QTimer::timeout, [&] { seen << window->Status->text() + (window->close() ? "!" : ""); });
    tick.start(0);
    window->Mnu_File_Compact->trigger();
    tick.stop();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first(), "Compacting database...");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(window->results().count(), 0);
    EXPECT_EQ(window->Status->text(), "100 words.");
    EXPECT_EQ(window->Fme_Search->title(), "english.mdb");
    EXPECT_EQ(window->database().DatabasePath, database);
    EXPECT_FALSE(QFile::exists(programFolder() + "/backup.bak"));
    expectIdle();
}

TEST_F(MaintenanceCommandsTest, CompactionGivenUpLeavesTheWindowOnTheLoadedDatabase) {
    CompactionHooks hooks;
    hooks.beforeStep = [](CompactionStep step) {
        if (step == CompactionStep::Replace) throw Error(QStringLiteral("disk on fire"));
    };
    dialogs.onNextShown([&] {
        EXPECT_FALSE(window->Fme_Search->isEnabled());
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    });
    dialogs.choose(Dialogs::ErrorChoice::Ignore);
    CompactDatabaseCommand(*window, hooks);
    EXPECT_EQ(dialogs.texts(), QStringList({"disk on fire"}));
    EXPECT_EQ(dialogs.shown()[0].title, "Error!");
    EXPECT_EQ(window->Status->text(), "300 words.");
    EXPECT_EQ(WordCount(db()), 300);
    expectIdle();
}

}  // namespace
}  // namespace lexivo::test
