#include "shell/frm_main.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>

#include "shell/help_commands.h"
#include "shell/help_window.h"
#include "shell/search_panel.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

class FrmMainTest : public WindowTest {};

TEST_F(FrmMainTest, MenusInOrderWithAccessKeysAndSeparators) {
    open();
    auto names = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions()) list << a->objectName() + "=" + (a->isSeparator() ? "-" : a->text());
        return list;
    };
    EXPECT_EQ(names(window->File),
              QStringList({"Mnu_File_New=&New", "Mnu_File_Open=&Open", "Mnu_File_Close=&Close", "Mnu_Sep3=-",
                           "Mnu_File_Import=&Import/Export", "Mnu_File_Check=Check Database",
                           "Mnu_File_Rebuild=Complete Rebuild", "Mnu_File_QuickRebuild=&Quick Re-build",
                           "Mnu_File_Compact=Compact Database", "Mnu_Sep1=-", "File_Exit=E&xit"}));
    EXPECT_EQ(names(window->Mnu_Edit),
              QStringList({"Mnu_Edit_Copy=&Copy", "Mnu_SelectAll=&Select all", "Mnu_Sep2=-", "Mnu_Edit_Add=&Add",
                           "Mnu_Edit_Delete_0=&Delete", "Mnu_Edit_Delete_1=Delete selected"}));
    EXPECT_EQ(names(window->Mnu_Help),
              QStringList({"Mnu_Help_About=&About", "Mnu_Help_Contents=&Contents", "Mnu_Help_WebSite=&Web Site"}));
    QStringList titles;
    for (QAction* a : window->menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&Help"}));
    for (QAction* a : window->findChildren<QAction*>())
        EXPECT_TRUE(a->shortcut().isEmpty()) << a->objectName().toStdString();
}

// The mode buttons added beside the first two rows cover no other box and come last in the keyboard order; the
// help window closes on its button and on Esc.
TEST_F(FrmMainTest, AddedControlsOverlapNothingAndHelpCloses) {
    openShown();
    const QList<QRadioButton*> modes = window->Fme_Search->findChildren<QRadioButton*>();
    for (QRadioButton* a : modes)
        for (QRadioButton* b : modes)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " / " << b->objectName().toStdString();
    QStringList chain;
    for (QWidget* w = window->Cmd_Close->nextInFocusChain(); w != window->Cmd_Close; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->objectName().startsWith("Opt_")) chain << w->objectName();
    EXPECT_EQ(chain.mid(chain.size() - 2), QStringList({"Opt_Search_7", "Opt_Search_8"}))
        << chain.join(' ').toStdString();
    EXPECT_EQ(window->Fme_Search->Opt_Search[7]->text(), "Rac&k");

    InstallHelpCommands(*window);
    for (bool byButton : {false, true}) {
        window->Mnu_Help_Contents->trigger();
        const auto helps = window->findChildren<HelpWindow*>();
        ASSERT_EQ(helps.size(), 1);
        ASSERT_TRUE(helps[0]->isVisible());
        if (byButton)
            helps[0]->Cmd_Close->click();
        else {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(helps[0]->Txt_Help, &escape);
        }
        EXPECT_FALSE(helps[0]->isVisible());
    }
}

TEST_F(FrmMainTest, CommandsFollowTheDatabaseState) {
    open();
    EXPECT_FALSE(window->Fme_Search->isEnabled());
    EXPECT_TRUE(window->Cmd_Close->isEnabled());
    EXPECT_EQ(disabledCommands(),
              QStringList({"Mnu_File_Close", "Mnu_File_Import", "Mnu_File_Check", "Mnu_File_Rebuild",
                           "Mnu_File_QuickRebuild", "Mnu_File_Compact", "Mnu_Edit_Copy", "Mnu_SelectAll",
                           "Mnu_Edit_Add", "Mnu_Edit_Delete_0", "Mnu_Edit_Delete_1", "Mnu_Edit"}));

    startWithDatabase({"tea", "eat", "ate"});
    open();
    EXPECT_EQ(window->Fme_Search->title(), "english.mdb");
    EXPECT_EQ(window->Status->text(), "3 words.");
    expectIdle();
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('\n').toStdString();
}

class HookedWindowTest : public WindowTest {
protected:
    class Hooked : public Frm_Main {
    public:
        using Frm_Main::Frm_Main;
        int searches = 0;

    protected:
        void onSearchClicked() override { ++searches; }
    };
    Frm_Main& open() override {
        window = std::make_unique<Hooked>(dialogs, programFolder());
        return *window;
    }
    int searches() const { return static_cast<Hooked&>(*window).searches; }
};

TEST_F(HookedWindowTest, EnterStartsASearchExceptOnAButton) {
    startWithDatabase({"tea"});
    openShown();
    press(find<QComboBox>("Text1"), Qt::Key_Return);
    press(find<QRadioButton>("Opt_Search_3"), Qt::Key_Return);
    press(window->List1, Qt::Key_Enter);
    press(find<QComboBox>("Cmb_Letters_1"), Qt::Key_Return);
    EXPECT_EQ(searches(), 4);
    press(find<QPushButton>("Cmd_Search"), Qt::Key_Return);
    EXPECT_EQ(searches(), 5);
}

TEST_F(HookedWindowTest, NoSearchWithoutADatabase) {
    openShown();
    press(find<QComboBox>("Text1"), Qt::Key_Return);
    find<QPushButton>("Cmd_Search")->click();
    EXPECT_EQ(searches(), 0);
}

TEST_F(FrmMainTest, RightButtonOverTheListOpensTheEditMenuOnTheSelection) {
    startWithDatabase({"tea"});
    openShown();
    showResults({"ate", "eat", "tea"});
    select({1});
    click(window->List1->viewport(), rowCentre(0), Qt::RightButton);
    EXPECT_TRUE(window->Mnu_Edit->isVisible());
    // The menu's commands work on the selection the user had.
    EXPECT_EQ(selectedRows(), QList<int>{1});
    window->Mnu_Edit->hide();
    click(window->List1->viewport(), rowCentre(0));
    EXPECT_FALSE(window->Mnu_Edit->isVisible());
}

TEST_F(FrmMainTest, NoPopUpMenuWithoutADatabase) {
    openShown();
    click(window->List1->viewport(), QPoint(5, 5), Qt::RightButton);
    EXPECT_FALSE(window->Mnu_Edit->isVisible());
}

}  // namespace
}  // namespace lexivo::test
