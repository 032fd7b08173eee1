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
