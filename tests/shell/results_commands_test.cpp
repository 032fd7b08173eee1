#include "shell/results_commands.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

class ResultsCommandsTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        startWithDatabase({"tea", "eat", "ate", "stop", "pots"});
        openShown();
        QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    }
    void show(const QStringList& words) {
        window->results().clear();
        window->results().append(words);
        QApplication::processEvents();
    }
    void select(std::initializer_list<int> rows) {
        for (int row : rows)
            window->List1->selectionModel()->select(window->results().index(row), QItemSelectionModel::Select);
    }
    QList<int> selectedRows() {
        QList<int> rows;
        for (const QModelIndex& index : window->List1->selectionModel()->selectedIndexes()) rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }
    void click(int row) {
        QWidget* viewport = window->List1->viewport();
        const QPoint at = window->List1->visualRect(window->results().index(row)).center();
        for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
    }
};

TEST_F(ResultsCommandsTest, CopyTakesTheSelectionInListOrderOrEveryWord) {
    show({"ate", "eat", "tea", "tee"});
    window->Mnu_Edit_Copy->trigger();
    EXPECT_EQ(clipboard(), "ate\r\neat\r\ntea\r\ntee\r\n");
    select({3, 1});
    window->Mnu_Edit_Copy->trigger();
    EXPECT_EQ(clipboard(), "eat\r\ntee\r\n");
}

TEST_F(ResultsCommandsTest, SelectAllThenCopyIsCopyOfEverything) {
    show({"b", "a", "c"});
    window->Mnu_Edit_Copy->trigger();
    const QString everything = clipboard();
    select({1});
    window->Mnu_SelectAll->trigger();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2}));
    window->Mnu_Edit_Copy->trigger();
    EXPECT_EQ(clipboard(), everything);
}

TEST_F(ResultsCommandsTest, AnEmptyListCopiesAnEmptyText) {
    show({});
    window->Mnu_SelectAll->trigger();
    window->Mnu_Edit_Copy->trigger();
    EXPECT_EQ(clipboard(), "");
}

TEST_F(ResultsCommandsTest, ColumnsChangeTheLayoutAndKeepTheSelection) {
    QStringList words;
    for (int i = 0; i < 120; ++i) words << QStringLiteral("w%1").arg(i, 3, 10, QLatin1Char('0'));
    show(words);
    select({0, 7, 90});
    ResultsList* list = window->List1;
    const int width = list->viewport()->width();

    window->Opt_Columns[4]->click();
    EXPECT_EQ(list->columnCount(), 5);
    EXPECT_EQ(list->gridSize().width(), width / 5);
    EXPECT_EQ(selectedRows(), (QList<int>{0, 7, 90}));
    // Entries run down a column, then on at the top of the next.
    const QRect first = list->visualRect(window->results().index(0));
    const QRect second = list->visualRect(window->results().index(1));
    EXPECT_EQ(second.left(), first.left());
    EXPECT_GT(second.top(), first.top());
    // The list lays out long contents in batches while the window is idle.
    for (int i = 0; i < 100 && !list->visualRect(window->results().index(119)).isValid(); ++i)
        QApplication::processEvents();
    const QRect last = list->visualRect(window->results().index(119));
    EXPECT_GT(last.left(), first.left());

    window->Opt_Columns[0]->click();
    EXPECT_EQ(list->columnCount(), 1);
    EXPECT_EQ(list->gridSize().width(), width);
    EXPECT_EQ(selectedRows(), (QList<int>{0, 7, 90}));
}

TEST_F(ResultsCommandsTest, AClickTakesTheWordIntoTheInputWithItsRules) {
    SearchPanel& panel = *window->Fme_Search;
    panel.Opt_Search[SearchPanel::Anagram]->click();
    panel.Text1->setEditText("tea");
    panel.Cmd_Search->click();
    ASSERT_EQ(window->results().words(), (QStringList{"ate", "eat", "tea"}));

    panel.Opt_Search[SearchPanel::Synogram]->click();
    panel.Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(5);
    show({"ab", "stop"});
    click(1);
    EXPECT_EQ(panel.Text1->currentText(), "stop");
    // The synogram rules free the length lists again.
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentIndex(), 0);

    panel.Opt_Search[SearchPanel::Anagram]->click();
    click(0);
    EXPECT_EQ(panel.Text1->currentText(), "ab");
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentText(), "2 letters");
    EXPECT_FALSE(panel.Cmb_Letters[SearchPanel::Maximum]->isEnabled());

    // The input box is hidden in the palindrome mode; it takes the word all the same.
    panel.Opt_Search[SearchPanel::Palindrome]->click();
    click(1);
    EXPECT_TRUE(panel.Text1->isHidden());
    EXPECT_EQ(panel.Text1->currentText(), "stop");
}

TEST(CopyTextOfAModel, LongListAfterSelectAll) {
    ResultsModel model;
    QStringList words;
    for (int i = 0; i < 100000; ++i) words << QString::number(i);
    model.append(words);
    QItemSelectionModel selection(&model);
    selection.select(QItemSelection(model.index(0), model.index(99999)), QItemSelectionModel::Select);
    const QString text = CopyText(model, &selection);
    EXPECT_TRUE(text.startsWith("0\r\n1\r\n"));
    EXPECT_TRUE(text.endsWith("99998\r\n99999\r\n"));
    EXPECT_EQ(text.count(QLatin1String("\r\n")), 100000);
    EXPECT_EQ(CopyText(model, nullptr), text);
}

}  // namespace
}  // namespace lexivo::test
