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
    QString toolTip(const QString& word) {
        showResults({word});
        return window->results().data(window->results().index(0), Qt::ToolTipRole).toString();
    }
    QString meaning(const QString& word) {
        showResults({word});
        window->List1->setCurrentIndex(window->results().index(0));
        action("Mnu_Edit_Meaning")->trigger();
        const std::unique_ptr<QWidget> shown(window->findChild<QWidget*>(QStringLiteral("Frm_Meaning")));
        const auto* text = shown ? shown->findChild<QTextBrowser*>(QStringLiteral("Txt_Meaning")) : nullptr;
        return text ? text->toPlainText() : QStringLiteral("(no Meaning window)");
    }
};

TEST_F(LexiconWindowTest, LevelsLetCommonWordsOnlyLimitTheSearchesAndTheChoiceOutlivesTheWindow) {
    const QStringList all{"attempt", "brave", "can't", "cat", "chisel", "tea"};
    EXPECT_EQ(everyWord(), all);
    action("Mnu_File_Levels_american")->trigger();
    EXPECT_EQ(status(), "4 word(s) got a level.");  // cat and tea are in no list
    action("Mnu_Options_Common_35")->trigger();
    const QStringList common{"attempt", "brave", "chisel"};
    EXPECT_EQ(everyWord(), common);
    window.reset();
    openShown();
    EXPECT_TRUE(action("Mnu_Options_Common_35")->isChecked());
    EXPECT_EQ(everyWord(), common);
    action("Mnu_Options_Common_0")->trigger();
    EXPECT_EQ(everyWord(), all);
}

TEST_F(LexiconWindowTest, ToolTipsShowTwoGlossesLevelAndScoreTheMeaningWindowEverySense) {
    action("Mnu_File_Levels_american")->trigger();
    const QString tip = toolTip(QStringLiteral("brave"));
    for (const char* part : {"brave, noun", "1. a warrior", "brave, adjective", "1. courageous", "Level: 20"})
        EXPECT_TRUE(tip.contains(QLatin1String(part))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QLatin1String("Score: 10"))) << tip.toStdString();  // B 3, R 1, A 1, V 4, E 1
    EXPECT_FALSE(tip.contains(QLatin1String("showy"))) << tip.toStdString();
    EXPECT_TRUE(toolTip(QStringLiteral("tea")).contains(QLatin1String("Level: none")));
    const QString senses = meaning(QStringLiteral("brave"));
    for (const char* gloss : {"a warrior", "courageous", "showy"})
        EXPECT_TRUE(senses.contains(QLatin1String(gloss))) << senses.toStdString();

    useFolders(path(QStringLiteral("none")), path(QStringLiteral("none")));
    EXPECT_TRUE(toolTip(QStringLiteral("brave")).contains(QLatin1String("install the package wordnet-base")));
    EXPECT_TRUE(meaning(QStringLiteral("brave")).contains(QLatin1String("install the package wordnet-base")));
    action("Mnu_File_Levels_american")->trigger();
    EXPECT_TRUE(dialogs.lastText().contains(QLatin1String("package scowl"))) << dialogs.lastText().toStdString();
    EXPECT_EQ(status(), "No levels stored.");
}

}  // namespace
}  // namespace lexivo::test
