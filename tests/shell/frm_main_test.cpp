#include "shell/frm_main.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

QRect fromTwips(int left, int top, int width, int height) {
    auto px = [](int t) { return qRound(t / 15.0); };
    return QRect(px(left), px(top), px(width), px(height));
}

class FrmMainTest : public WindowTest {};

TEST_F(FrmMainTest, ControlsStandWhereTheLayoutPutsThem) {
    openShown();
    struct Expected {
        const char* name;
        QRect twips;
    };
    const Expected expected[] = {
        {"Fme_Search", {120, 120, 2655, 4695}},    {"Text1", {120, 240, 2415, 315}},
        {"Opt_Search_0", {120, 600, 1095, 255}},   {"Opt_Search_1", {120, 960, 2415, 255}},
        {"Opt_Search_2", {120, 1320, 2415, 255}},  {"Opt_Search_6", {120, 1680, 1815, 255}},
        {"Opt_Search_3", {120, 2040, 1455, 255}},  {"Picture1", {1920, 2040, 480, 480}},
        {"Opt_Search_4", {120, 2640, 855, 255}},   {"Opt_Search_5", {120, 2940, 1095, 255}},
        {"Label2", {120, 3240, 1215, 255}},        {"Label3", {1320, 3240, 1215, 255}},
        {"Cmb_Letters_0", {120, 3480, 1215, 315}}, {"Cmb_Letters_1", {1320, 3480, 1215, 315}},
        {"Chk_Sort", {120, 3900, 2415, 255}},      {"Cmd_Search", {120, 4200, 2415, 375}},
        {"ProgressBar1", {120, 4920, 2655, 255}},  {"Status", {120, 5280, 2655, 255}},
        {"Cmd_Close", {120, 5640, 2655, 375}},     {"Label1", {240, 5520, 855, 255}},
        {"Opt_Columns_0", {1200, 5520, 495, 255}}, {"Opt_Columns_4", {3600, 5520, 495, 255}},
    };
    for (const auto& e : expected) {
        auto* widget = find<QWidget>(e.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), fromTwips(e.twips.x(), e.twips.y(), e.twips.width(), e.twips.height())) << e.name;
    }
    // The results grow with the window: at the design width the frame is 4445 and the list 3945 twips wide.
    EXPECT_EQ(find<QGroupBox>("Frame2")->geometry(), fromTwips(3000, 120, 4445, 5895));
    EXPECT_EQ(find<QListView>("List1")->geometry(), fromTwips(240, 360, 3945, 5070));
    EXPECT_EQ(window->centralWidget()->size(), fromTwips(0, 0, 7545, 6105).size());
}

TEST_F(FrmMainTest, CaptionsAndToolTips) {
    open();
    EXPECT_EQ(window->windowTitle(), "Lexivo");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(find<QLabel>("Picture1")->pixmap().isNull());
    const std::pair<const char*, const char*> captions[] = {
        {"Opt_Search_0", "&Anagram"},
        {"Opt_Search_1", "&Synogram"},
        {"Opt_Search_2", "&Palindrome"},
        {"Opt_Search_3", "&Fixed mask"},
        {"Opt_Search_4", "Add"},
        {"Opt_Search_5", "Delete"},
        {"Opt_Search_6", "&Letters in a word"},
        {"Chk_Sort", "Sort by word length"},
        {"Cmd_Search", "&Search"},
        {"Cmd_Close", "&Close"},
        {"Opt_Columns_0", "1"},
        {"Opt_Columns_4", "5"},
    };
    for (const auto& [name, caption] : captions) EXPECT_EQ(find<QAbstractButton>(name)->text(), caption) << name;
    EXPECT_EQ(find<QLabel>("Label2")->text(), "Minimum");
    EXPECT_EQ(find<QLabel>("Label3")->text(), "Maximum");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Columns");
    EXPECT_EQ(find<QGroupBox>("Frame2")->title(), "Search results");
    EXPECT_EQ(find<QRadioButton>("Opt_Search_6")->toolTip(), "Find words containg the given letters.");
    EXPECT_EQ(find<QRadioButton>("Opt_Search_4")->toolTip(),
              "Look for a specific word in the database, if it's not there add it.");
    EXPECT_EQ(find<QPushButton>("Cmd_Close")->toolTip(), "Exit Program");
    EXPECT_TRUE(find<QRadioButton>("Opt_Columns_2")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("Opt_Search_0")->isChecked());

    auto* status = find<QLabel>("Status");
    EXPECT_TRUE(status->text().isEmpty());
    EXPECT_TRUE(status->font().bold());
    EXPECT_EQ(status->alignment(), Qt::AlignCenter);
    EXPECT_EQ(status->palette().color(QPalette::Window), QColor(192, 192, 192));
    auto* progress = find<QProgressBar>("ProgressBar1");
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
}

TEST_F(FrmMainTest, MenusInOrderWithAccessKeysAndSeparators) {
    open();
    auto names = [](QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions()) list << a->objectName() + "=" + (a->isSeparator() ? "-" : a->text());
        return list;
    };
    EXPECT_EQ(names(find<QMenu>("File")),
              QStringList({"Mnu_File_New=&New", "Mnu_File_Open=&Open", "Mnu_File_Close=&Close", "Mnu_Sep3=-",
                           "Mnu_File_Import=&Import/Export", "Mnu_File_Check=Check Database",
                           "Mnu_File_Rebuild=Complete Rebuild", "Mnu_File_QuickRebuild=&Quick Re-build",
                           "Mnu_File_Compact=Compact Database", "Mnu_Sep1=-", "File_Exit=E&xit"}));
    EXPECT_EQ(names(find<QMenu>("Mnu_Edit")),
              QStringList({"Mnu_Edit_Copy=&Copy", "Mnu_SelectAll=&Select all", "Mnu_Sep2=-", "Mnu_Edit_Add=&Add",
                           "Mnu_Edit_Delete_0=&Delete", "Mnu_Edit_Delete_1=Delete selected"}));
    EXPECT_EQ(names(find<QMenu>("Mnu_Help")),
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
                               "Opt_Columns_4", "Picture1",      "Cmb_Letters_1", "Opt_Search_6",  "Chk_Sort"};
    QStringList chain;
    QWidget* start = find<QWidget>("Cmd_Close");
    QWidget* w = start;
    do {
        if (order.contains(w->objectName()) && !chain.contains(w->objectName())) chain << w->objectName();
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(chain, order);
    EXPECT_EQ(window->focusWidget(), start);
}

TEST_F(FrmMainTest, NoDatabaseState) {
    open();
    auto* panel = find<QGroupBox>("Fme_Search");
    EXPECT_FALSE(panel->isEnabled());
    EXPECT_EQ(panel->title(), "(No Database Loaded)");
    for (const char* name : {"Mnu_File_Close", "Mnu_File_Import", "Mnu_File_Check", "Mnu_File_Rebuild",
                             "Mnu_File_QuickRebuild", "Mnu_File_Compact", "Mnu_Edit_Copy", "Mnu_Edit_Delete_1"})
        EXPECT_FALSE(find<QAction>(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QMenu>("Mnu_Edit")->menuAction()->isEnabled());
    for (const char* name :
         {"Mnu_File_New", "Mnu_File_Open", "File_Exit", "Mnu_Help_About", "Mnu_Help_Contents", "Mnu_Help_WebSite"})
        EXPECT_TRUE(find<QAction>(name)->isEnabled()) << name;
    EXPECT_TRUE(find<QMenu>("Mnu_Help")->menuAction()->isEnabled());
    EXPECT_TRUE(find<QPushButton>("Cmd_Close")->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(FrmMainTest, DatabaseLoadedState) {
    startWithDatabase({"tea", "eat", "ate"});
    open();
    auto* panel = find<QGroupBox>("Fme_Search");
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_EQ(panel->title(), "english.mdb");
    EXPECT_EQ(find<QLabel>("Status")->text(), "3 words.");
    for (const char* name : {"Mnu_File_Close", "Mnu_File_Import", "Mnu_File_Check", "Mnu_File_Rebuild",
                             "Mnu_File_QuickRebuild", "Mnu_File_Compact", "Mnu_Edit_Copy", "Mnu_Edit_Delete_1"})
        EXPECT_TRUE(find<QAction>(name)->isEnabled()) << name;
    EXPECT_TRUE(find<QMenu>("Mnu_Edit")->menuAction()->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('\n').toStdString();
}

TEST_F(FrmMainTest, ResizeKeepsTheHeightAndTheMinimumWidth) {
    openShown();
    const QSize design = window->size();
    auto* frame = find<QGroupBox>("Frame2");
    auto* list = find<QListView>("List1");
    const QRect frameAt = frame->geometry();
    const QRect listAt = list->geometry();
    const QRect panelAt = find<QWidget>("Fme_Search")->geometry();

    window->resize(design.width() - 100, design.height() - 50);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), design);

    window->resize(design.width() + 120, design.height() + 80);
    QApplication::processEvents();
    EXPECT_EQ(window->size(), QSize(design.width() + 120, design.height()));
    EXPECT_EQ(frame->geometry(), frameAt.adjusted(0, 0, 120, 0));
    EXPECT_EQ(list->geometry(), listAt.adjusted(0, 0, 120, 0));
    EXPECT_EQ(find<QWidget>("Fme_Search")->geometry(), panelAt);

    window->resize(design);
    QApplication::processEvents();
    EXPECT_EQ(frame->geometry(), frameAt);
    EXPECT_EQ(list->geometry(), listAt);
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
    EXPECT_EQ(searches(), 1);
    press(find<QRadioButton>("Opt_Search_3"), Qt::Key_Return);
    press(find<QListView>("List1"), Qt::Key_Enter);
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

TEST_F(FrmMainTest, RightButtonOverTheListOpensTheEditMenu) {
    startWithDatabase({"tea"});
    openShown();
    auto* list = find<QListView>("List1");
    auto* menu = find<QMenu>("Mnu_Edit");
    window->results().append(QStringList{"ate", "eat", "tea"});
    list->selectionModel()->select(window->results().index(1), QItemSelectionModel::Select);

    const QPoint at = list->visualRect(window->results().index(0)).center();
    QMouseEvent right(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &right);
    EXPECT_TRUE(menu->isVisible());
    // The menu's commands work on the selection the user had.
    EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(list->selectionModel()->isSelected(window->results().index(1)));
    menu->hide();

    QMouseEvent left(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &left);
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(FrmMainTest, NoPopUpMenuWithoutADatabase) {
    openShown();
    auto* list = find<QListView>("List1");
    QMouseEvent right(QEvent::MouseButtonPress, QPoint(5, 5), list->viewport()->mapToGlobal(QPoint(5, 5)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &right);
    EXPECT_FALSE(find<QMenu>("Mnu_Edit")->isVisible());
}

TEST_F(FrmMainTest, ResultsListLaysOutItsColumnsAcrossTheVisibleWidth) {
    openShown();
    auto* list = find<ResultsList>("List1");
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QStringList words;
    for (int i = 0; i < 200; ++i) words << QStringLiteral("word%1").arg(i);
    window->results().append(words.mid(0, 120));
    window->results().append(words.mid(120));
    ASSERT_EQ(window->results().count(), 200);
    EXPECT_EQ(window->results().word(150), "word150");

    auto columnsInView = [&] {
        QSet<int> lefts;
        for (int i = 0; i < window->results().count(); ++i) {
            const QRect r = list->visualRect(window->results().index(i));
            if (r.left() >= 0 && r.right() <= list->viewport()->width()) lefts.insert(r.left());
        }
        return lefts.size();
    };
    QApplication::processEvents();
    EXPECT_EQ(columnsInView(), 3);
    list->setColumnCount(5);
    QApplication::processEvents();
    EXPECT_EQ(columnsInView(), 5);
    // Entries run down the first column before the second begins.
    EXPECT_EQ(list->visualRect(window->results().index(1)).left(), list->visualRect(window->results().index(0)).left());

    window->results().clear();
    EXPECT_EQ(window->results().count(), 0);
    EXPECT_EQ(list->model()->rowCount(), 0);
}

}  // namespace
}  // namespace lexivo::test
