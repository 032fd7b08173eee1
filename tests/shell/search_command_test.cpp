#include "shell/search_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>

#include "shell/frm_main.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/engine.h"
#include "store/run_control.h"
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
    // The idle state every run returns to, whatever ended it.
    void expectIdle() {
        EXPECT_EQ(window->Cmd_Close->text(), "&Close");
        EXPECT_TRUE(window->run().stopFlag());
        EXPECT_TRUE(panel().isEnabled());
        EXPECT_FALSE(window->runActive());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window->database().CurrentDatabase.inTransaction());
    }
    bool focusOnInput() {
        QWidget* focus = window->focusWidget();
        return focus == text1() || (focus && focus->parentWidget() == text1());
    }

    QString database;
};

TEST_F(SearchCommandTest, AnagramSearchListsAndCountsTheWords) {
    start({"tea", "eat", "ate", "teas", "tee"});
    search(SearchPanel::Anagram, "Tea");
    EXPECT_EQ(listed(), (QStringList{"ate", "eat", "tea"}));
    EXPECT_EQ(status(), "Found 3 word(s).");
    // The progress bar keeps its full value until the next search starts.
    EXPECT_EQ(window->ProgressBar1->value(), window->ProgressBar1->maximum());
    EXPECT_GT(window->ProgressBar1->value(), 0);
    expectIdle();
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(SearchCommandTest, HistoryHoldsEachInputOnceNewestFirstComparingCase) {
    start({"tea"});
    search(SearchPanel::Anagram, "tea");
    search(SearchPanel::Anagram, "eat");
    search(SearchPanel::Anagram, "tea");
    EXPECT_EQ(history(), (QStringList{"tea", "eat"}));
    search(SearchPanel::Anagram, "Tea");
    EXPECT_EQ(history(), (QStringList{"Tea", "tea", "eat"}));
    EXPECT_EQ(text1()->currentText(), "Tea");
}

TEST_F(SearchCommandTest, EmptyInputStopsBeforeAnythingChanges) {
    start({"tea", "eat"});
    search(SearchPanel::Anagram, "tea");
    ASSERT_EQ(listed().size(), 2);
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

TEST_F(SearchCommandTest, LengthListsAndSortChoiceShapeTheQuery) {
    start({"ab", "bad", "bead", "abed", "beady", "barb"});
    panel().Opt_Search[SearchPanel::Letters]->click();
    text1()->setEditText("ab");
    // Chosen after typing, the range holds for the search: recording the input does not reset it.
    panel().Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(2);
    panel().Cmb_Letters[SearchPanel::Maximum]->setCurrentIndex(3);
    panel().Chk_Sort->setChecked(true);
    panel().Cmd_Search->click();
    EXPECT_EQ(listed(), (QStringList{"bad", "abed", "barb", "bead"}));
    // Lists out of line (set without their change handling) are brought into line as a click on the minimum
    // list would: the minimum wins.
    {
        const QSignalBlocker blocker(panel().Cmb_Letters[SearchPanel::Maximum]);
        panel().Cmb_Letters[SearchPanel::Maximum]->setCurrentIndex(1);
    }
    panel().Chk_Sort->setChecked(false);
    panel().Cmd_Search->click();
    EXPECT_EQ(listed(), (QStringList{"bad"}));
    EXPECT_EQ(panel().Cmb_Letters[SearchPanel::Maximum]->currentIndex(), 2);
    {
        const QSignalBlocker blocker(panel().Cmb_Letters[SearchPanel::Minimum]);
        panel().Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(0);
    }
    panel().Cmd_Search->click();
    EXPECT_EQ(listed().size(), 6);
    EXPECT_EQ(panel().Cmb_Letters[SearchPanel::Maximum]->currentIndex(), 0);
}

TEST_F(SearchCommandTest, AConfirmedStopKeepsTheRowsListedSoFar) {
    QStringList words;
    for (char c = 'a'; c <= 'z'; ++c) words << QString(2, QLatin1Char(c));
    start(words);
    // The user presses "&Stop" while the run handles input at its first row, and confirms.
    dialogs.yes();
    QTimer::singleShot(0, window->Cmd_Close, &QPushButton::click);
    search(SearchPanel::Mask, "*");
    EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
    EXPECT_EQ(listed(), QStringList{"aa"});
    EXPECT_EQ(status(), "Found 1 word(s).");
    EXPECT_EQ(window->ProgressBar1->value(), 1);
    EXPECT_EQ(window->ProgressBar1->maximum(), 26);
    expectIdle();
}

TEST_F(SearchCommandTest, AStopAnsweredNoLetsTheSearchFinish) {
    start({"aa", "bb", "cc"});
    dialogs.no();
    QTimer::singleShot(0, window->Cmd_Close, &QPushButton::click);
    search(SearchPanel::Mask, "*");
    EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
    EXPECT_EQ(status(), "Found 3 word(s).");
    expectIdle();
}

TEST_F(SearchCommandTest, AddAndDeleteAreCommittedAndListNothing) {
    start({"dog", "cat", "Cat"});
    dialogs.yes().yes();
    search(SearchPanel::Add, "emu");
    EXPECT_EQ(status(), "Found 0 word(s).");
    search(SearchPanel::Delete, "CAT");
    EXPECT_EQ(dialogs.texts(), (QStringList{"Add emu", "Delete cat"}));
    expectIdle();
    // Another connection sees the committed rows.
    Connection other = Connection::open(database);
    EXPECT_EQ(StoredWords(other), (QStringList{"dog", "emu"}));
}

TEST_F(SearchCommandTest, QuotesAndWildcardsOfOtherEnginesAreJustCharacters) {
    start({"don't", "100%", "a_b", "axb"});
    search(SearchPanel::Anagram, "t'nod");
    EXPECT_EQ(listed(), QStringList{"don't"});
    search(SearchPanel::Mask, "a_b");
    EXPECT_EQ(listed(), QStringList{"a_b"});
    search(SearchPanel::Letters, "'%[");
    EXPECT_EQ(status(), "Found 0 word(s).");
    EXPECT_TRUE(dialogs.texts().isEmpty());
}

TEST_F(SearchCommandTest, AnEngineFailureIsReportedAndTheWindowReturnsToIdle) {
    start({"cat", "dog"});
    {
        // Another program changes the database under the window: the deletion is refused by the engine.
        Connection other = Connection::open(database);
        other.execute("CREATE TRIGGER Refuse BEFORE DELETE ON Dictionary BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    dialogs.yes();
    search(SearchPanel::Delete, "cat");
    ASSERT_EQ(dialogs.texts().size(), 2);
    EXPECT_EQ(dialogs.shown()[1].kind, ScriptedDialogs::Kind::Failure);
    EXPECT_EQ(dialogs.texts()[1], "The search failed: refused");
    EXPECT_EQ(status(), "Search failed.");
    expectIdle();
    EXPECT_EQ(StoredWords(window->database().CurrentDatabase), (QStringList{"cat", "dog"}));

    {
        Connection other = Connection::open(database);
        other.execute("ALTER TABLE Dictionary RENAME TO Elsewhere");
    }
    search(SearchPanel::Anagram, "tac");
    EXPECT_TRUE(dialogs.lastText().startsWith("The search failed: ")) << dialogs.lastText().toStdString();
    expectIdle();
    // The next search runs as usual once the cause is gone.
    {
        Connection other = Connection::open(database);
        other.execute("ALTER TABLE Elsewhere RENAME TO Dictionary");
    }
    search(SearchPanel::Anagram, "tac");
    EXPECT_EQ(status(), "Found 1 word(s).");
}

}  // namespace
}  // namespace lexivo::test
