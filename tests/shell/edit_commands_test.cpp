#include "shell/edit_commands.h"

#include <QComboBox>

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
    QStringList stored() { return StoredWords(window->database().CurrentDatabase); }

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
    EXPECT_EQ(dialogs.texts(), QStringList({"Delete 1 selected words?"}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), dialogs.texts());
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

}  // namespace
}  // namespace lexivo::test
