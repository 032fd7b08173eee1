#include "shell/edit_commands.h"

#include <QAction>
#include <QComboBox>

#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
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
    void show(const QStringList& words) {
        window->results().clear();
        window->results().append(words);
    }
    QItemSelectionModel& selection() { return *window->List1->selectionModel(); }
    void select(std::initializer_list<int> rows, int current) {
        for (int row : rows) selection().select(window->results().index(row), QItemSelectionModel::Select);
        selection().setCurrentIndex(window->results().index(current), QItemSelectionModel::NoUpdate);
    }
    QStringList selectedWords() {
        QList<int> rows;
        for (const QModelIndex& index : selection().selectedIndexes()) rows << index.row();
        std::sort(rows.begin(), rows.end());
        QStringList words;
        for (int row : rows) words << window->results().word(row);
        return words;
    }
    QStringList stored() { return StoredWords(window->database().CurrentDatabase); }

    QString database;
};

TEST_F(EditCommandsTest, DeleteTakesTheCurrentEntryOnly) {
    show({"ant", "bee", "cat", "dog", "emu"});
    select({1, 2, 3}, 2);
    dialogs.yes();
    window->Mnu_Edit_Delete[0]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Delete cat ?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee", "dog", "emu"}));
    EXPECT_EQ(stored(), QStringList({"ant", "bee", "dog", "emu", "don't"}));  // both cases of cat
    // The other selected entries stay selected; the entry that took the deleted one's place is current.
    EXPECT_EQ(selectedWords(), QStringList({"bee", "dog"}));
    EXPECT_EQ(window->List1->currentIndex().row(), 2);
}

TEST_F(EditCommandsTest, DeleteSelectedTakesEverySelectedEntryAndKeepsTheOrder) {
    show({"emu", "ant", "don't", "bee", "dog", "cat"});
    select({0, 2, 4}, 4);
    dialogs.yes();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Delete 3 selected words?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee", "cat"}));
    EXPECT_EQ(stored(), QStringList({"ant", "bee", "Cat", "cat"}));
    EXPECT_TRUE(selectedWords().isEmpty());
}

TEST_F(EditCommandsTest, NothingSelectedOrNoChangesNothing) {
    show({"ant", "bee"});
    selection().setCurrentIndex(window->results().index(1), QItemSelectionModel::NoUpdate);
    window->Mnu_Edit_Delete[0]->trigger();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_TRUE(dialogs.shown().empty());

    select({0}, 0);
    dialogs.no();
    window->Mnu_Edit_Delete[1]->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Delete 1 selected words?"}));
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee"}));
    EXPECT_EQ(stored().size(), 7);
}

TEST_F(EditCommandsTest, FailedDeleteLeavesListAndDatabase) {
    show({"ant", "bee", "dog"});
    select({0, 2}, 2);
    Connection other = Connection::open(database);
    other.execute("BEGIN EXCLUSIVE");
    window->database().CurrentDatabase.setBusyTimeout(50);
    dialogs.yes();
    window->Mnu_Edit_Delete[1]->trigger();
    other.rollback();
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_TRUE(dialogs.lastText().startsWith("Nothing was deleted: database is locked"))
        << dialogs.lastText().toStdString();
    EXPECT_EQ(window->results().words(), QStringList({"ant", "bee", "dog"}));
    EXPECT_EQ(selectedWords(), QStringList({"ant", "dog"}));
    EXPECT_EQ(stored().size(), 7);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(EditCommandsTest, AddStoresTheInputAsTyped) {
    window->Fme_Search->Text1->setEditText(QStringLiteral("Yak "));
    dialogs.yes();
    window->Mnu_Edit_Add->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Add 'Yak ' to database?", "OK!"}));
    EXPECT_EQ(stored().last(), "Yak ");

    dialogs.clear();
    window->Fme_Search->Text1->setEditText(QStringLiteral("DOG"));
    dialogs.yes();
    window->Mnu_Edit_Add->trigger();
    EXPECT_EQ(dialogs.texts(), QStringList({"Add 'DOG' to database?", "Already in database!"}));
}

}  // namespace
}  // namespace lexivo::test
