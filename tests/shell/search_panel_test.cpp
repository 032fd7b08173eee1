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
    SearchPanelTest() { panel.fillLengthLists(); }

    void mode(int index) { panel.Opt_Search[static_cast<size_t>(index)]->click(); }
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
    QComboBox* text = panel.Text1;
    QComboBox* minimum = panel.Cmb_Letters[SearchPanel::Minimum];
    QComboBox* maximum = panel.Cmb_Letters[SearchPanel::Maximum];
    QCheckBox* sort = panel.Chk_Sort;
};

// Which modes tie the length lists to the input, and how the sort choice follows: hidden when all results will
// have one length, and always in the anagram mode.
TEST_F(SearchPanelTest, InputAndModeSetTheLengthListsAndTheSortChoice) {
    struct Case {
        const char* what;
        int from;
        QString before;
        int to;
        QString input;
        int min, max;
        bool enabled;
        int sort;
    };
    const int A = SearchPanel::Anagram, M = SearchPanel::Mask;
    const int hidden = 1, shown = 0, either = -1;  // the sort choice
    const Case cases[] = {
        {"anagram fixes the length", A, "", A, "stream", 5, 5, false, hidden},
        {"anagram emptied", A, "stream", A, "", 0, 0, false, either},
        {"anagram of one letter keeps the lists", A, "abcd", A, "a", 3, 3, false, hidden},
        {"anagram of 51 letters keeps the lists", A, "abcd", A, QString(51, u'x'), 3, 3, false, hidden},
        {"anagram of 50 letters", A, "", A, QString(50, u'x'), 49, 49, false, hidden},
        {"characters, not UTF-16 units", A, "", A, QString::fromUcs4(U"\U0001D49C\U0001D49D\U0001D49E"), 2, 2, false,
         hidden},
        {"anagram hides the sort choice with no input", SearchPanel::Synogram, "", A, "", 0, 0, false, hidden},
        {"fixed mask length", A, "", M, "c??e", 3, 3, false, hidden},
        {"fixed mask with a run wildcard", M, "c??e", M, "c*e", 0, 0, true, shown},
        {"add", A, "", SearchPanel::Add, "words", 4, 4, false, hidden},
        {"delete", A, "", SearchPanel::Delete, "words", 4, 4, false, hidden},
        {"letters in a word frees the lists", A, "abc", SearchPanel::Letters, "abc", 0, 0, true, shown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mode(c.from);
        setInput(c.before);
        mode(c.to);
        setInput(c.input);
        EXPECT_TRUE(lists(c.min, c.max, c.enabled));
        if (c.sort != either) {
            EXPECT_EQ(sort->isHidden(), c.sort == hidden);
        }
    }
}

TEST_F(SearchPanelTest, TypingInTheSynogramModeResetsTheLists) {
    mode(SearchPanel::Synogram);
    text->lineEdit()->insert("tea");
    choose(maximum, 6);
    choose(minimum, 2);
    EXPECT_TRUE(lists(2, 6, true));
    text->lineEdit()->insert("m");
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

TEST_F(SearchPanelTest, TheListJustChosenWinsAndNoLimitOnOneSideMeansNoneOnEither) {
    mode(SearchPanel::Synogram);
    for (QComboBox* list : {maximum, minimum}) {
        choose(maximum, 8);
        choose(minimum, 4);
        choose(list, 0);
        EXPECT_TRUE(lists(0, 0, true)) << list->objectName().toStdString();
    }
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

// The rack and the phrase bound each word, not the input: the lists stay free, and their order is their own.
TEST_F(SearchPanelTest, RackAndPhraseLeaveTheListsToTheUserAndHideTheSortChoice) {
    for (const int game : {SearchPanel::Rack, SearchPanel::Phrase}) {
        mode(SearchPanel::Anagram);
        setInput("retains");
        mode(game);
        choose(maximum, 5);
        choose(minimum, 2);
        setInput("aeinrst??");
        EXPECT_TRUE(lists(2, 5, true));
        EXPECT_TRUE(sort->isHidden());
        choose(maximum, 2);  // one length for all words: the rule that shows the box again stays out of these modes
        EXPECT_TRUE(sort->isHidden());
    }
    mode(SearchPanel::Letters);
    EXPECT_FALSE(sort->isHidden());
}

TEST_F(SearchPanelTest, EnterInTheInputStartsASearchAndKeepsTheTextAsTyped) {
    text->addItem("tea");
    setInput("Tea");
    int clicks = 0;
    QObject::connect(panel.Cmd_Search, &QPushButton::clicked, [&] { ++clicks; });
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(text, &enter);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(text->currentText(), "Tea");
    EXPECT_EQ(text->count(), 1);
    // Any text, however long or odd, is taken unchanged.
    const QString odd = QStringLiteral("  MiXeD 'quote' * ? @ # ") + QString(300, u'z');
    setInput(odd);
    EXPECT_EQ(text->currentText(), odd);
}

}  // namespace
}  // namespace lexivo
