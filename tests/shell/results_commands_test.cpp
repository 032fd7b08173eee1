#include "shell/results_commands.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QRadioButton>

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
    QString copied() {
        window->Mnu_Edit_Copy->trigger();
        return QGuiApplication::clipboard()->text();
    }
};

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

TEST_F(ResultsCommandsTest, ColumnsFillTheVisibleWidthAndKeepTheSelection) {
    ResultsList* list = window->List1;
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QStringList words;
    for (int i = 0; i < 120; ++i) words << QStringLiteral("w%1").arg(i, 3, 10, QLatin1Char('0'));
    showResults(words.mid(0, 70));
    window->results().append(words.mid(70));
    ASSERT_EQ(window->results().words(), words);
    select({0, 7, 90});
    const int width = list->viewport()->width();
    EXPECT_EQ(list->columnCount(), 3);
    EXPECT_EQ(list->gridSize().width(), width / 3);

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
    EXPECT_GT(list->visualRect(window->results().index(119)).left(), first.left());

    window->Opt_Columns[0]->click();
    EXPECT_EQ(list->columnCount(), 1);
    EXPECT_EQ(list->gridSize().width(), width);
    EXPECT_EQ(selectedRows(), (QList<int>{0, 7, 90}));
}

TEST_F(ResultsCommandsTest, AClickTakesTheWordIntoTheInputWithItsRules) {
    SearchPanel& panel = *window->Fme_Search;
    auto clickRow = [&](int row) { click(window->List1->viewport(), rowCentre(row)); };
    panel.Opt_Search[SearchPanel::Synogram]->click();
    panel.Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(5);
    showResults({"ab", "stop"});
    clickRow(1);
    EXPECT_EQ(panel.Text1->currentText(), "stop");
    // The synogram rules free the length lists again.
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentIndex(), 0);

    panel.Opt_Search[SearchPanel::Anagram]->click();
    clickRow(0);
    EXPECT_EQ(panel.Text1->currentText(), "ab");
    EXPECT_EQ(panel.Cmb_Letters[SearchPanel::Minimum]->currentText(), "2 letters");
    EXPECT_FALSE(panel.Cmb_Letters[SearchPanel::Maximum]->isEnabled());

    // The input box is hidden in the palindrome mode; it takes the word all the same.
    panel.Opt_Search[SearchPanel::Palindrome]->click();
    clickRow(1);
    EXPECT_TRUE(panel.Text1->isHidden());
    EXPECT_EQ(panel.Text1->currentText(), "stop");
}

}  // namespace
}  // namespace lexivo::test
