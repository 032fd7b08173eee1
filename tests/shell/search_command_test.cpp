#include "shell/search_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalBlocker>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class SearchCommandTest : public WindowTest {
protected:
    Frm_Main& start(const QStringList& words) {
        database = startWithDatabase(words);
        return openShown();
    }
    SearchPanel& panel() { return *window->Fme_Search; }
    QComboBox* text1() { return panel().Text1; }
    QComboBox* lengthList(int list) { return panel().Cmb_Letters[static_cast<size_t>(list)]; }
    void search(int mode, const QString& input) {
        panel().Opt_Search[static_cast<size_t>(mode)]->click();
        text1()->setEditText(input);
        panel().Cmd_Search->click();
    }
    QStringList listed() { return window->results().words(); }
    QString status() { return window->Status->text(); }
    QStringList history() {
        QStringList entries;
        for (int i = 0; i < text1()->count(); ++i) entries << text1()->itemText(i);
        return entries;
    }
    bool focusOnInput() {
        QWidget* focus = window->focusWidget();
        return focus == text1() || (focus && focus->parentWidget() == text1());
    }
    // Another program's connection to the window's database.
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
    // Every other mode puts the focus back into the input box.
    search(SearchPanel::Mask, "s*");
    EXPECT_TRUE(focusOnInput());
    EXPECT_EQ(history(), (QStringList{"s*", ""}));
}

TEST_F(SearchCommandTest, AStopAnsweredYesKeepsTheRowsListedSoFarNoLetsTheSearchFinish) {
    QStringList words;
    for (char c = 'a'; c <= 'z'; ++c) words << QString(2, QLatin1Char(c));
    start(words);
    for (const bool stop : {true, false}) {
        SCOPED_TRACE(stop);
        // The user presses "&Stop" while the run handles input at its first row.
        dialogs.clear();
        stop ? dialogs.yes() : dialogs.no();
        duringRun(window->Cmd_Close, "click");
        search(SearchPanel::Mask, "*");
        EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
        EXPECT_EQ(listed(), stop ? QStringList{"aa"} : words);
        EXPECT_EQ(status(), stop ? "Found 1 word(s)." : "Found 26 word(s).");
        EXPECT_EQ(window->ProgressBar1->value(), stop ? 1 : 26);
        EXPECT_EQ(window->ProgressBar1->maximum(), 26);
        expectIdle();
    }
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
    // Another connection sees the committed rows.
    Connection other = Connection::open(database);
    EXPECT_EQ(StoredWords(other), (QStringList{"dog", "emu"}));
}

TEST_F(SearchCommandTest, AnEngineFailureIsReportedAndTheWindowReturnsToIdle) {
    start({"cat", "dog"});
    // Another program changes the database under the window: the deletion is refused by the engine.
    otherProgram("CREATE TRIGGER Refuse BEFORE DELETE ON Dictionary BEGIN SELECT RAISE(ABORT, 'refused'); END");
    dialogs.yes();
    search(SearchPanel::Delete, "cat");
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_EQ(dialogs.texts()[1], "The search failed: refused");
    EXPECT_EQ(status(), "Search failed.");
    expectIdle();
    EXPECT_EQ(StoredWords(window->database().CurrentDatabase), (QStringList{"cat", "dog"}));

    otherProgram("ALTER TABLE Dictionary RENAME TO Elsewhere");
    search(SearchPanel::Anagram, "tac");
    EXPECT_TRUE(dialogs.lastText().startsWith("The search failed: ")) << dialogs.lastText().toStdString();
    expectIdle();
    // The next search runs as usual once the cause is gone.
    otherProgram("ALTER TABLE Elsewhere RENAME TO Dictionary");
    search(SearchPanel::Anagram, "tac");
    EXPECT_EQ(status(), "Found 1 word(s).");
}

}  // namespace
}  // namespace lexivo::test
