// The main window's commands: Edit, File (New, Open, Close), maintenance, results, search, and its long runs.

#include <QtWidgets>

#include "shell/edit_commands.h"
#include "shell/frm_import.h"
#include "shell/long_run.h"
#include "shell/maintenance_commands.h"
#include "shell/results_commands.h"
#include "shell/search_command.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

class EditCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        database = startWithDatabase({"ant", "bee", "Cat", "cat", "dog", "emu", "don't"});
        openShown();
        InstallEditCommands(*window);
        InstallEditCommands(*window);  // a second time connects nothing more
    }
    void select(std::initializer_list<int> rows, int current) {
        WindowTest::select(rows);
        selection().setCurrentIndex(window->results().index(current), QItemSelectionModel::NoUpdate);
    }
    QStringList selectedWords() {
        QStringList words;
        for (int row : selectedRows()) words << window->results().word(row);
        return words;
    }

    QString database;
};

TEST_F(EditCommandsTest, DeleteTakesTheCurrentEntryOnly) {
    showResults({"ant", "bee", "cat", "dog", "emu"});
    select({1, 2, 3}, 2);
    dialogs.yes();
    window->Mnu_Edit_Delete[0]->trigger();
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList({"Delete cat ?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee", "dog", "emu"}));
    EXPECT_EQ(stored(), QStringList({"ant", "bee", "dog", "emu", "don't"}));  // both cases of cat
    // The other selected entries stay selected; the entry that took the deleted one's place is current.
    EXPECT_EQ(selectedWords(), QStringList({"bee", "dog"}));
    EXPECT_EQ(window->List1->currentIndex().row(), 2);
}

TEST_F(EditCommandsTest, DeleteSelectedTakesEverySelectedEntryAndKeepsTheOrder) {
    showResults({"emu", "ant", "don't", "bee", "dog", "cat"});
    select({0, 2, 4}, 4);
    dialogs.yes();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Delete 3 selected words?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee", "cat"}));
    EXPECT_EQ(stored(), QStringList({"ant", "bee", "Cat", "cat"}));
    EXPECT_TRUE(selectedWords().isEmpty());
}

TEST_F(EditCommandsTest, NothingSelectedOrNoChangesNothing) {
    showResults({"ant", "bee"});
    selection().setCurrentIndex(window->results().index(1), QItemSelectionModel::NoUpdate);
    window->Mnu_Edit_Delete[0]->trigger();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_TRUE(dialogs.shown().empty());

    select({0}, 0);
    dialogs.no();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList({"Delete 1 selected words?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee"}));
    EXPECT_EQ(stored().size(), 7);
}

TEST_F(EditCommandsTest, AddStoresTheInputAsTyped) {
    const std::pair<QString, QStringList> cases[] = {
        {"Yak ", {"Add 'Yak ' to database?", "OK!"}},
        {"DOG", {"Add 'DOG' to database?", "Already in database!"}},
    };
    for (const auto& [input, texts] : cases) {
        dialogs.clear();
        window->Fme_Search->Text1->setEditText(input);
        dialogs.yes();
        window->Mnu_Edit_Add->trigger();
        EXPECT_EQ(dialogs.texts(), texts);
    }
    EXPECT_EQ(stored(), QStringList({"ant", "bee", "Cat", "cat", "dog", "emu", "don't", "Yak "}));
}

TEST_F(WindowTest, NewOverTheLoadedDatabaseRecreatesItEmpty) {
    const QString database = startWithDatabase({"tea", "eat", "ate"});
    open();
    dialogs.fileName(database).yes();
    window->Mnu_File_New->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"*.mdb", "File exists, overwrite?", kEmptyDatabaseMessage}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList({"File exists, overwrite?"}));  // Enter keeps the words
    EXPECT_EQ(caption() + " " + status(), "english.mdb 0 words.");
    EXPECT_EQ(loaded(), database);
    EXPECT_EQ(WordCount(window->database().CurrentDatabase), 0);
    EXPECT_TRUE(hasWordIndex());
    expectIdle();
}

TEST_F(WindowTest, NewRemovesTheStaleBackupOrGoesOnWhenItCannot) {
    open();
    const QString database = path("fresh.mdb");
    for (const bool removable : {true, false}) {
        SCOPED_TRACE(removable);
        dialogs.clear();
        QFile::remove(database);
        if (removable)  // else a folder in the way
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

TEST_F(WindowTest, NewThatIsCancelledRefusedOrCannotDeleteTheOldFileKeepsTheLoadedDatabaseUntilItFails) {
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

    // A new file that cannot be made unloads the database, with the reason.
    dialogs.clear();
    dialogs.fileName(path("no/such/folder/new.mdb"));
    window->Mnu_File_New->trigger();
    EXPECT_EQ(dialogs.shown().at(1).kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.lastText().contains(path("no/such/folder/new.mdb"))) << dialogs.lastText().toStdString();
    EXPECT_EQ(caption(), "(No Database Loaded)");
    EXPECT_TRUE(loaded().isEmpty());
    EXPECT_FALSE(window->Mnu_File_Close->isEnabled());
}

TEST_F(WindowTest, CloseUnloadsAndKeepsTheStatusLine) {
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
    // The window handles its events while the copy is written; a close request then waits for the copy.
    QStringList seen;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { seen << window->Status->text() + (window->close() ? "!" : ""); });
    tick.start(0);
    window->Mnu_File_Compact->trigger();
    tick.stop();
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.first(), "Compacting database...");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(window->results().count(), 0);
    EXPECT_EQ(window->Status->text(), "100 words.");
    EXPECT_EQ(window->database().DatabasePath, database);
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

class ResultsCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        startWithDatabase({"tea", "eat", "ate", "stop", "pots"});
        openShown();
        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    }
    QString copied() {
        window->Mnu_Edit_Copy->trigger();
        return QGuiApplication::clipboard()->text();
    }
};

TEST_F(ResultsCommandsTest, FocusStartsInTheInputAndEveryColumnChoiceScrollsToTheLastResult) {
    QWidget* focus = window->focusWidget();
    EXPECT_TRUE(focus && (focus == window->Fme_Search->Text1 || focus->parentWidget() == window->Fme_Search->Text1));
    QStringList words;
    for (int i = 0; i < 2000; ++i) words << QStringLiteral("word%1").arg(i);
    showResults(words);
    for (int columns = 1; columns <= 5; ++columns) {
        window->Opt_Columns[static_cast<size_t>(columns - 1)]->click();
        QScrollBar* bar = window->List1->horizontalScrollBar();
        for (int pass = 0; pass < 200; ++pass) {  // the list lays its entries out in batches, one per pass
            if (pass == 100) bar->setValue(bar->maximum());
            QApplication::processEvents();
        }
        const QRect last = window->List1->visualRect(window->results().index(1999));
        EXPECT_TRUE(window->List1->viewport()->rect().contains(last)) << columns << " columns";
    }
}

TEST_F(ResultsCommandsTest, CopyTakesTheSelectionInListOrderOrEveryWord) {
    showResults({"ate", "eat", "tea", "tee"});
    EXPECT_EQ(copied(), "ate\r\neat\r\ntea\r\ntee\r\n");
    select({3, 1});
    EXPECT_EQ(copied(), "eat\r\ntee\r\n");
    window->Mnu_SelectAll->trigger();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(copied(), "ate\r\neat\r\ntea\r\ntee\r\n");
    showResults({});
    window->Mnu_SelectAll->trigger();
    EXPECT_EQ(copied(), "");
}

TEST_F(ResultsCommandsTest, AClickTakesTheWordIntoTheInputWithItsRules) {
    SearchPanel& panel = *window->Fme_Search;
    auto clickRow = [&](int row) { click(window->List1->viewport(), rowCentre(row)); };
    panel.Opt_Search[SearchPanel::Synogram]->click();
    panel.Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(5);
    showResults({"ab", "stop"});
    clickRow(1);
    EXPECT_EQ(panel.Text1->currentText(), "stop");
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentIndex(), 0);  // the synogram rules free the lists

    panel.Opt_Search[SearchPanel::Anagram]->click();
    clickRow(0);
    EXPECT_EQ(panel.Text1->currentText(), "ab");
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentText(), "2 letters");
    EXPECT_FALSE(panel.Cmb_Letters[SearchPanel::Maximum]->isEnabled());
}

class SearchCommandTest : public WindowTest {
protected:
    Frm_Main& start(const QStringList& words) {
        database = startWithDatabase(words);
        return openShown();
    }
    SearchPanel& panel() { return *window->Fme_Search; }
    QComboBox* text1() { return panel().Text1; }
    void search(int mode, const QString& input) {
        panel().Opt_Search[static_cast<size_t>(mode)]->click();
        text1()->setEditText(input);
        panel().Cmd_Search->click();
    }
    QStringList listed() { return window->results().words(); }
    QStringList history() {
        QStringList entries;
        for (int i = 0; i < text1()->count(); ++i) entries << text1()->itemText(i);
        return entries;
    }
    bool focusOnInput() {
        QWidget* focus = window->focusWidget();
        return focus == text1() || (focus && focus->parentWidget() == text1());
    }
    void otherProgram(const char* sql) { Connection::open(database).execute(sql); }

    QString database;
};

TEST_F(SearchCommandTest, HistoryHoldsEachInputOnceNewestFirstComparingCase) {
    start({"tea"});
    for (const char* input : {"tea", "eat", "tea"}) search(SearchPanel::Anagram, input);
    EXPECT_EQ(history(), (QStringList{"tea", "eat"}));
    search(SearchPanel::Anagram, "Tea");
    EXPECT_EQ(history(), (QStringList{"Tea", "tea", "eat"}));
    EXPECT_EQ(text1()->currentText(), "Tea");
}

TEST_F(SearchCommandTest, EmptyInputStopsBeforeAnythingChanges) {
    start({"tea", "eat"});
    search(SearchPanel::Anagram, "tea");
    search(SearchPanel::Anagram, "");
    EXPECT_EQ(status(), "Starting search...");
    EXPECT_EQ(window->ProgressBar1->value(), 0);
    EXPECT_EQ(listed(), (QStringList{"eat", "tea"}));
    EXPECT_EQ(history(), QStringList{"tea"});
    expectIdle();
    // A text of blanks is not empty.
    search(SearchPanel::Synogram, " ");
    EXPECT_EQ(status(), "Found 0 word(s).");
    EXPECT_EQ(history(), (QStringList{" ", "tea"}));
}

TEST_F(SearchCommandTest, PalindromesRunWithoutInputAndLeaveTheFocusAlone) {
    start({"stop", "pots", "level", "abc"});
    window->Cmd_Close->setFocus();
    search(SearchPanel::Palindrome, "");
    EXPECT_EQ(listed(), (QStringList{"level", "pots", "stop"}));
    EXPECT_EQ(status(), "Found 3 word(s).");
    EXPECT_FALSE(focusOnInput());
    search(SearchPanel::Palindrome, "");
    EXPECT_EQ(history(), QStringList{""});
    search(SearchPanel::Mask, "s*");  // every other mode puts the focus back into the input box
    EXPECT_TRUE(focusOnInput());
    EXPECT_EQ(history(), (QStringList{"s*", ""}));
}

TEST_F(SearchCommandTest, AStopAnsweredYesKeepsTheRowsListedSoFarNoLetsTheSearchFinish) {
    QStringList words;
    for (char c = 'a'; c <= 'z'; ++c) words << QString(2, QLatin1Char(c));
    start(words);
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop);
        // The user presses "&Stop" while the run handles input at its first row (twice before the run sees the
        // stop: the same request).
        dialogs.clear();
        dialogs.onNextShown([&] {  // a run offers "&Stop" and nothing that starts another; leaving stays possible
            EXPECT_EQ(window->Cmd_Close->text(), "&Stop");
            EXPECT_FALSE(window->Mnu_File_Open->isEnabled());
            EXPECT_TRUE(window->File_Exit->isEnabled());
        });
        stop ? dialogs.yes() : dialogs.no();
        duringRun(window->Cmd_Close, "click");
        if (stop) duringRun(window->Cmd_Close, "click");
        search(SearchPanel::Mask, "*");
        EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
        EXPECT_EQ(listed(), stop ? QStringList{"aa"} : words);
        EXPECT_EQ(status(), stop ? "Found 1 word(s)." : "Found 26 word(s).");
        EXPECT_EQ(window->ProgressBar1->value(), stop ? 1 : 26);
        EXPECT_EQ(window->ProgressBar1->maximum(), 26);
        expectIdle();
    }
}

TEST_F(SearchCommandTest, APhraseSearchShowsItsResultsBeforeItEnds) {
    start({"a", "b", "c", "ab", "ba", "bc", "ca", "abc", "cab"});
    // Every record is a time slice, where the window is painted as it stands before it handles input: once the
    // list holds rows, it is never painted blank.
    const QImage empty = window->List1->viewport()->grab().toImage();
    qsizetype rowsSeen = 0;
    int paintedBlank = 0;
    window->longRun().sliceClock = [&] {
        if (listed().isEmpty()) return true;
        if (window->List1->viewport()->grab().toImage() == empty) ++paintedBlank;
        rowsSeen = std::max(rowsSeen, listed().size());
        return true;
    };
    search(SearchPanel::Phrase, "abcabc");
    EXPECT_EQ(paintedBlank, 0);
    EXPECT_GT(rowsSeen, 0);
    EXPECT_LT(rowsSeen, listed().size());  // rows seen while the search still ran
}

TEST_F(SearchCommandTest, AddAndDeleteAreCommittedAndListNothing) {
    start({"dog", "cat", "Cat"});
    dialogs.yes().yes();
    search(SearchPanel::Add, "emu");
    EXPECT_EQ(status(), "Found 0 word(s).");
    search(SearchPanel::Delete, "CAT");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Add emu", "Delete cat"}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList{"Delete cat"});
    expectIdle();
    Connection other = Connection::open(database);  // another connection sees the committed rows
    EXPECT_EQ(StoredWords(other), (QStringList{"dog", "emu"}));
}

TEST_F(SearchCommandTest, AnEngineFailureIsReportedAndTheWindowReturnsToIdle) {
    start({"cat", "dog"});
    // Another program renames the table under the window for a moment: the engine refuses the look-up.
    otherProgram("ALTER TABLE Dictionary RENAME TO Away");
    dialogs.yes();
    search(SearchPanel::Delete, "cat");
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_EQ(dialogs.texts()[0], "The search failed: no such table: Dictionary");
    EXPECT_EQ(status(), "Search failed.");
    expectIdle();
    otherProgram("ALTER TABLE Away RENAME TO Dictionary");
    EXPECT_EQ(stored(), (QStringList{"cat", "dog"}));
    search(SearchPanel::Anagram, "tac");
    EXPECT_EQ(status(), "Found 1 word(s).");
}

class LongRunTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        startWithDatabase({"tea"});
        openShown();
    }

    // A run over many records in the way every long run goes; onSlice runs each time input was handled.
    void fakeRun(const std::function<void()>& onSlice) {
        RunControl& run = window->run();
        run.beginRun(QStringLiteral("Working..."));
        run.setProgressMaximum(100'000'000);
        for (qint64 record = 1; record <= 100'000'000 && !run.stopFlag(); ++record)
            if (run.step(record, QStringLiteral("word%1").arg(record))) onSlice();
        run.endRun();
    }
};

TEST_F(LongRunTest, ClosingOrExitDuringARunStopsItThenShutsDown) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"close", [this] { duringRun(window.get(), "close"); }},
        {"exit", [this] { duringRun(window->File_Exit, "trigger"); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        openShown();
        WriteFile(settingsPath(), "");  // written again at the shutdown
        leave();
        bool openWhileRunning = false;
        fakeRun([&] { openWhileRunning = window->isVisible() && window->database().CurrentDatabase.isOpen(); });
        EXPECT_TRUE(openWhileRunning);
        EXPECT_TRUE(dialogs.shown().empty());  // leaving is a confirmed stop; the window goes once the run ends
        EXPECT_TRUE(window->isVisible());
        QApplication::processEvents();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
        EXPECT_EQ(settingsBytes(), QFile::encodeName(path("english.mdb")) + "\r\n");
    }
}

}  // namespace
}  // namespace lexivo::test
