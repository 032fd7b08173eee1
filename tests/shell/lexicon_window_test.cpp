// The window's lexicon commands: File > Word Levels from the SCOWL lists of tests/fixtures, Options > Common words
// only (kept across a restart), the results' tool tips and the Meaning window from a small WordNet, and what they
// say when the lists or WordNet are missing.

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class LexiconWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("wordnet")));
        WriteSmallWordNet(path(QStringLiteral("wordnet")));
        useFolders(path(QStringLiteral("wordnet")), QStringLiteral(LEXIVO_SOURCE_DIR "/tests/fixtures/scowl"));
        startWithDatabase({"attempt", "brave", "chisel", "can't", "cat", "tea"});
        openShown();
        action("Mnu_File_Levels_american")->trigger();
    }
    void TearDown() override {
        qunsetenv("WNSEARCHDIR");
        qunsetenv("SCOWLDIR");
        WindowTest::TearDown();
    }
    static void useFolders(const QString& wordnet, const QString& scowl) {
        qputenv("WNSEARCHDIR", QFile::encodeName(wordnet));
        qputenv("SCOWLDIR", QFile::encodeName(scowl));
    }
    QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QStringList everyWord() {
        window->Fme_Search->Opt_Search[SearchPanel::Mask]->click();
        window->Fme_Search->Text1->setEditText(QStringLiteral("*"));
        window->Fme_Search->Cmd_Search->click();
        return window->results().words();
    }
    static bool fits(const std::string& text, const char* pattern) {
        const QRegularExpression expression(QString::fromUtf8(pattern), QRegularExpression::DotMatchesEverythingOption);
        return expression.match(QString::fromStdString(text)).hasMatch();
    }
    // The tool tip of word and the text of its Meaning window, one after the other.
    std::string toolTipAndMeaning(const QString& word) {
        showResults({word});
        window->List1->setCurrentIndex(window->results().index(0));
        action("Mnu_Edit_Meaning")->trigger();
        const std::unique_ptr<QWidget> shown(window->findChild<QWidget*>(QStringLiteral("Frm_Meaning")));
        const auto* text = shown ? shown->findChild<QTextBrowser*>(QStringLiteral("Txt_Meaning")) : nullptr;
        return (window->results().index(0).data(Qt::ToolTipRole).toString() + "\n--\n" +
                (text ? text->toPlainText() : QStringLiteral("(no Meaning window)")))
            .toStdString();
    }
};

TEST_F(LexiconWindowTest, LevelsLetCommonWordsOnlyLimitTheSearchesAndTheChoiceOutlivesTheWindow) {
    EXPECT_EQ(status(), "4 word(s) got a level.");  // cat and tea are in no list
    action("Mnu_Options_Common_35")->trigger();
    const QStringList common{"attempt", "brave", "chisel"};
    EXPECT_EQ(everyWord(), common);
    window.reset();
    openShown();
    EXPECT_TRUE(action("Mnu_Options_Common_35")->isChecked());
    EXPECT_EQ(everyWord(), common);
    action("Mnu_Options_Common_0")->trigger();
    EXPECT_EQ(everyWord(), (QStringList{"attempt", "brave", "can't", "cat", "chisel", "tea"}));
}

TEST_F(LexiconWindowTest, ToolTipsShowTwoGlossesLevelAndScoreTheMeaningWindowEverySense) {
    // B 3, R 1, A 1, V 4, E 1; the third sense only in the Meaning window.
    EXPECT_PRED2(fits, toolTipAndMeaning("brave"),
                 "^brave, noun\n1. a warrior\nbrave, adjective\n1. courageous\nLevel: 20 +Score: 10\n--\n"
                 ".*a warrior.*courageous.*showy");
    EXPECT_PRED2(fits, toolTipAndMeaning("tea"), "Level: none");
    // From a rack the score is the best laying: the blank that stands for the e scores nothing.
    window->Fme_Search->Opt_Search[SearchPanel::Rack]->click();
    window->Fme_Search->Text1->setEditText(QStringLiteral("brav?"));
    window->Fme_Search->Cmd_Search->click();
    const qsizetype brave = window->results().words().indexOf(QStringLiteral("brave"));
    ASSERT_GE(brave, 0);
    EXPECT_PRED2(fits, window->results().index(brave).data(Qt::ToolTipRole).toString().toStdString(), "Score: 9$");
    useFolders(path(QStringLiteral("none")), path(QStringLiteral("none")));
    EXPECT_PRED2(fits, toolTipAndMeaning("brave"),
                 "install the package wordnet-base.*--.*install the package wordnet-base");
    action("Mnu_File_Levels_american")->trigger();
    EXPECT_PRED2(fits, dialogs.lastText().toStdString(), "package scowl");
    EXPECT_EQ(status(), "No levels stored.");
}

}  // namespace
}  // namespace lexivo::test
