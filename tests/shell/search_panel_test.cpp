#include "shell/search_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace lexivo {
namespace {

class SearchPanelTest : public ::testing::Test {
protected:
    SearchPanelTest() {
        panel.fillLengthLists();
        text = panel.findChild<QComboBox*>(QStringLiteral("Text1"));
        minimum = panel.findChild<QComboBox*>(QStringLiteral("Cmb_Letters_0"));
        maximum = panel.findChild<QComboBox*>(QStringLiteral("Cmb_Letters_1"));
        sort = panel.findChild<QCheckBox*>(QStringLiteral("Chk_Sort"));
    }

    void mode(int index) { panel.findChild<QRadioButton*>(QStringLiteral("Opt_Search_%1").arg(index))->click(); }
    // Typed one character at a time, as the user does.
    void type(const QString& characters) {
        for (QChar c : characters) text->lineEdit()->insert(QString(c));
    }
    void setInput(const QString& input) { text->setEditText(input); }
    // The user choosing an entry of a length list.
    static void choose(QComboBox* list, int entry) { list->setCurrentIndex(entry); }

    ::testing::AssertionResult lists(int min, int max, bool enabled) {
        if (minimum->currentIndex() == min && maximum->currentIndex() == max && minimum->isEnabled() == enabled &&
            maximum->isEnabled() == enabled)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "lists at " << minimum->currentIndex() << "/" << maximum->currentIndex()
                                             << ", " << (minimum->isEnabled() ? "enabled" : "disabled") << "/"
                                             << (maximum->isEnabled() ? "enabled" : "disabled");
    }

    SearchPanel panel;
    QComboBox* text;
    QComboBox* minimum;
    QComboBox* maximum;
    QCheckBox* sort;
};

TEST_F(SearchPanelTest, StartsInItsDesignState) {
    for (QComboBox* list : {minimum, maximum}) {
        ASSERT_EQ(list->count(), 50);
        EXPECT_EQ(list->itemText(0), "(All words)");
        EXPECT_EQ(list->itemText(1), "2 letters");
        EXPECT_EQ(list->itemText(49), "50 letters");
        EXPECT_FALSE(list->isEditable());
    }
    EXPECT_TRUE(lists(0, 0, true));
    EXPECT_EQ(panel.selectedMode(), SearchPanel::Anagram);
    EXPECT_TRUE(text->currentText().isEmpty());
    EXPECT_FALSE(text->isHidden());
    EXPECT_FALSE(sort->isHidden());
    EXPECT_FALSE(sort->isChecked());
}

TEST_F(SearchPanelTest, EntryValuesAreTheLeadingNumbers) {
    EXPECT_EQ(SearchPanel::entryValue("(All words)"), 0);
    EXPECT_EQ(SearchPanel::entryValue("2 letters"), 2);
    EXPECT_EQ(SearchPanel::entryValue("50 letters"), 50);
    choose(maximum, 6);
    choose(minimum, 3);
    EXPECT_EQ(panel.lengthLimit(SearchPanel::Minimum), 4);
    EXPECT_EQ(panel.lengthLimit(SearchPanel::Maximum), 7);
}

TEST_F(SearchPanelTest, AnagramInputFixesTheLength) {
    type("stream");
    EXPECT_TRUE(lists(5, 5, false));
    EXPECT_EQ(minimum->currentText(), "6 letters");
    EXPECT_TRUE(sort->isHidden());
    setInput("");
    EXPECT_TRUE(lists(0, 0, false));
}

TEST_F(SearchPanelTest, AnagramInputOfOneOrMoreThanFiftyLettersKeepsTheLists) {
    setInput("abcd");
    ASSERT_TRUE(lists(3, 3, false));
    setInput("a");
    EXPECT_TRUE(lists(3, 3, false));
    setInput(QString(51, u'x'));
    EXPECT_TRUE(lists(3, 3, false));
    setInput(QString(50, u'x'));
    EXPECT_TRUE(lists(49, 49, false));
}

TEST_F(SearchPanelTest, LengthCountsCharactersNotUtf16Units) {
    setInput(QString::fromUcs4(U"\U0001D49C\U0001D49D\U0001D49E"));
    EXPECT_TRUE(lists(2, 2, false));
}

TEST_F(SearchPanelTest, FixedMaskLengthUnlessItHoldsARunWildcard) {
    mode(SearchPanel::Mask);
    setInput("c??e");
    EXPECT_TRUE(lists(3, 3, false));
    setInput("c*e");
    EXPECT_TRUE(lists(0, 0, true));
    EXPECT_FALSE(sort->isHidden());
}

TEST_F(SearchPanelTest, AddAndDeleteAreLengthCoupled) {
    for (int m : {SearchPanel::Add, SearchPanel::Delete}) {
        mode(m);
        setInput(QStringLiteral("word%1").arg(m));  // 5 characters
        EXPECT_TRUE(lists(4, 4, false)) << m;
    }
}

TEST_F(SearchPanelTest, SynogramResetsTheListsOnEveryChangeOfTheInput) {
    mode(SearchPanel::Synogram);
    type("tea");
    EXPECT_TRUE(lists(0, 0, true));
    choose(maximum, 6);
    choose(minimum, 2);
    EXPECT_TRUE(lists(2, 6, true));
    type("m");
    EXPECT_TRUE(lists(0, 0, true));
}

TEST_F(SearchPanelTest, LettersInAWordFreesTheLists) {
    setInput("abc");
    ASSERT_TRUE(lists(2, 2, false));
    mode(SearchPanel::Letters);
    EXPECT_TRUE(lists(0, 0, true));
}

TEST_F(SearchPanelTest, PalindromeHidesTheInputAndKeepsTheLists) {
    mode(SearchPanel::Synogram);
    choose(maximum, 5);
    choose(minimum, 3);
    mode(SearchPanel::Palindrome);
    EXPECT_TRUE(text->isHidden());
    EXPECT_TRUE(lists(3, 5, true));
    // A word taken into the hidden box changes nothing in the lists either.
    setInput("level");
    EXPECT_TRUE(lists(3, 5, true));
    mode(SearchPanel::Synogram);
    EXPECT_FALSE(text->isHidden());
}

TEST_F(SearchPanelTest, NoLimitOnOneSideMeansNoneOnEither) {
    mode(SearchPanel::Synogram);
    choose(maximum, 8);
    choose(minimum, 4);
    choose(maximum, 0);
    EXPECT_TRUE(lists(0, 0, true));
    choose(maximum, 8);
    choose(minimum, 4);
    choose(minimum, 0);
    EXPECT_TRUE(lists(0, 0, true));
}

TEST_F(SearchPanelTest, TheListJustChosenWins) {
    mode(SearchPanel::Synogram);
    choose(maximum, 5);
    choose(minimum, 2);
    choose(minimum, 8);
    EXPECT_TRUE(lists(8, 8, true));
    choose(maximum, 10);
    int minimumChanges = 0, maximumChanges = 0;
    QObject::connect(minimum, &QComboBox::currentIndexChanged, [&] { ++minimumChanges; });
    QObject::connect(maximum, &QComboBox::currentIndexChanged, [&] { ++maximumChanges; });
    choose(maximum, 3);
    EXPECT_TRUE(lists(3, 3, true));
    // One change each: the handling raised for the minimum finds the lists consistent and ends there.
    EXPECT_EQ(minimumChanges, 1);
    EXPECT_EQ(maximumChanges, 1);
}

TEST_F(SearchPanelTest, SortChoiceHiddenWhenAllResultsHaveOneLength) {
    mode(SearchPanel::Synogram);
    sort->setChecked(true);
    choose(maximum, 4);
    choose(minimum, 4);
    EXPECT_TRUE(sort->isHidden());
    choose(maximum, 5);
    EXPECT_FALSE(sort->isHidden());
    mode(SearchPanel::Anagram);
    EXPECT_TRUE(sort->isHidden());
    mode(SearchPanel::Letters);
    EXPECT_FALSE(sort->isHidden());
    // Hiding never changes the value the search reads.
    EXPECT_TRUE(sort->isChecked());
}

TEST_F(SearchPanelTest, AnagramHidesTheSortChoiceEvenWithEmptyInput) {
    mode(SearchPanel::Synogram);
    mode(SearchPanel::Anagram);
    // The lists go to "(All words)", which shows the box; the mode's own rule runs last and hides it.
    EXPECT_TRUE(lists(0, 0, false));
    EXPECT_TRUE(sort->isHidden());
}

TEST_F(SearchPanelTest, PickingAnEarlierInputAppliesTheChangeRules) {
    mode(SearchPanel::Synogram);
    text->addItems({"tea", "stream"});
    setInput("tea");
    choose(maximum, 4);
    choose(minimum, 2);
    // The same text picked again from the drop-down part: no change of the text, but a change of the input.
    emit text->activated(0);
    EXPECT_TRUE(lists(0, 0, true));

    mode(SearchPanel::Anagram);
    text->setCurrentIndex(1);
    emit text->activated(1);
    EXPECT_EQ(text->currentText(), "stream");
    EXPECT_TRUE(lists(5, 5, false));
}

TEST_F(SearchPanelTest, LengthListRuleRepairsInconsistentLists) {
    {
        const QSignalBlocker a(minimum), b(maximum);
        minimum->setCurrentIndex(7);
        maximum->setCurrentIndex(2);
    }
    panel.applyLengthListRule();
    EXPECT_EQ(minimum->currentIndex(), 7);
    EXPECT_EQ(maximum->currentIndex(), 7);
    EXPECT_TRUE(sort->isHidden());
}

TEST_F(SearchPanelTest, EnterInTheInputStartsASearchAndKeepsTheTypedText) {
    text->addItem("tea");
    setInput("Tea");
    int clicks = 0;
    QObject::connect(panel.Cmd_Search, &QPushButton::clicked, [&] { ++clicks; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(text, &enter);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(text->currentText(), "Tea");
    EXPECT_EQ(text->count(), 1);
}

TEST_F(SearchPanelTest, InputBoxTakesAnyTextUnchanged) {
    const QString input = QStringLiteral("  MiXeD 'quote' * ? @ # ") + QString(300, u'z');
    setInput(input);
    EXPECT_EQ(text->currentText(), input);
}

}  // namespace
}  // namespace lexivo
