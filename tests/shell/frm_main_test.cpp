#include "shell/frm_main.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

QRect fromTwips(const QRect& twips) {
    auto px = [](int t) { return qRound(t / 15.0); };
    return QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
}

// What a control shows as its own text.
QString caption(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
    if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
    if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentText();
    return QString();
}

class FrmMainTest : public WindowTest {};

TEST_F(FrmMainTest, ControlsStandWhereTheLayoutPutsThemWithTheirCaptions) {
    openShown();
    struct Control {
        const char* name;
        const char* caption;
        QRect twips;
    };
    const Control controls[] = {{"Fme_Search", "(No Database Loaded)", {120, 120, 2655, 4695}},
                                {"Text1", "", {120, 240, 2415, 315}},
                                {"Opt_Search_0", "&Anagram", {120, 600, 1095, 255}},
                                {"Opt_Search_1", "&Synogram", {120, 960, 1200, 255}},
                                {"Opt_Search_7", "Rac&k", {1320, 600, 1215, 255}},
                                {"Opt_Search_8", "Ph&rase", {1320, 960, 1215, 255}},
                                {"Opt_Search_2", "&Palindrome", {120, 1320, 2415, 255}},
                                {"Opt_Search_6", "&Letters in a word", {120, 1680, 1815, 255}},
                                {"Opt_Search_3", "&Fixed mask", {120, 2040, 1455, 255}},
                                {"Picture1", "", {1920, 2040, 480, 480}},
                                {"Opt_Search_4", "Add", {120, 2640, 855, 255}},
                                {"Opt_Search_5", "Delete", {120, 2940, 1095, 255}},
                                {"Label2", "Minimum", {120, 3240, 1215, 255}},
                                {"Label3", "Maximum", {1320, 3240, 1215, 255}},
                                {"Cmb_Letters_0", "(All words)", {120, 3480, 1215, 315}},
                                {"Cmb_Letters_1", "(All words)", {1320, 3480, 1215, 315}},
                                {"Chk_Sort", "Sort by word length", {120, 3900, 2415, 255}},
                                {"Cmd_Search", "&Search", {120, 4200, 2415, 375}},
                                {"ProgressBar1", "", {120, 4920, 2655, 255}},
                                {"Status", "", {120, 5280, 2655, 255}},
                                {"Cmd_Close", "&Close", {120, 5640, 2655, 375}},
                                {"Label1", "Columns", {240, 5520, 855, 255}},
                                {"Opt_Columns_0", "1", {1200, 5520, 495, 255}},
                                {"Opt_Columns_4", "5", {3600, 5520, 495, 255}},
                                {"Frame2", "Search results", {3000, 120, 4445, 5895}},
                                {"List1", "", {240, 360, 3945, 5070}}};
    for (const auto& control : controls) {
        SCOPED_TRACE(control.name);
        auto* widget = find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), fromTwips(control.twips));
        EXPECT_EQ(caption(widget), control.caption);
    }
    // The results grow with the window; the table has their places at the design width.
    EXPECT_EQ(window->centralWidget()->size(), fromTwips({0, 0, 7545, 6105}).size());
    EXPECT_EQ(window->windowTitle(), "Lexivo");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(find<QLabel>("Picture1")->pixmap().isNull());
    EXPECT_TRUE(window->Status->font().bold());
    EXPECT_EQ(find<QRadioButton>("Opt_Search_6")->toolTip(), "Find words containg the given letters.");
    EXPECT_EQ(find<QRadioButton>("Opt_Search_4")->toolTip(),
              "Look for a specific word in the database, if it's not there add it.");
    EXPECT_EQ(window->Cmd_Close->toolTip(), "Exit Program");
    EXPECT_TRUE(find<QRadioButton>("Opt_Columns_2")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("Opt_Search_0")->isChecked());
}

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

TEST_F(FrmMainTest, KeyboardOrderAndFirstFocus) {
    openShown();
    const QStringList order = {"Cmd_Close",     "List1",         "Opt_Search_0",  "Opt_Search_1",  "Opt_Search_2",
                               "Opt_Search_3",  "Cmd_Search",    "Cmb_Letters_0", "Opt_Search_4",  "Opt_Search_5",
                               "Text1",         "Opt_Columns_0", "Opt_Columns_1", "Opt_Columns_2", "Opt_Columns_3",
                               "Opt_Columns_4", "Picture1",      "Cmb_Letters_1", "Opt_Search_6",  "Chk_Sort",
                               "Opt_Search_7",  "Opt_Search_8"};
    QStringList chain;
    QWidget* start = window->Cmd_Close;
    QWidget* w = start;
    do {
        if (order.contains(w->objectName()) && !chain.contains(w->objectName())) chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(chain, order);
    EXPECT_EQ(window->focusWidget(), start);
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

TEST_F(FrmMainTest, ResizeKeepsTheHeightAndTheMinimumWidth) {
    openShown();
    const QSize design = window->size();
    const QRect frameAt = window->Frame2->geometry();
    const QRect listAt = window->List1->geometry();
    const QRect panelAt = window->Fme_Search->geometry();
    auto resize = [&](int wider, int higher) {
        window->resize(design.width() + wider, design.height() + higher);
        QApplication::processEvents();
    };

    resize(-100, -50);
    EXPECT_EQ(window->size(), design);
    resize(120, 80);
    EXPECT_EQ(window->size(), QSize(design.width() + 120, design.height()));
    EXPECT_EQ(window->Frame2->geometry(), frameAt.adjusted(0, 0, 120, 0));
    EXPECT_EQ(window->List1->geometry(), listAt.adjusted(0, 0, 120, 0));
    EXPECT_EQ(window->Fme_Search->geometry(), panelAt);
    resize(0, 0);
    EXPECT_EQ(window->Frame2->geometry(), frameAt);
    EXPECT_EQ(window->List1->geometry(), listAt);
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
