#include "shell/help_window.h"

#include <QPushButton>
#include <QTextBrowser>

#include "shell/help_commands.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

class HelpWindowTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        openShown();
        InstallHelpCommands(*window);
    }
    QList<HelpWindow*> helpWindows() { return window->findChildren<HelpWindow*>(); }
};

TEST_F(HelpWindowTest, ContentsOpensTheHelpDocumentOnce) {
    window->Mnu_Help_Contents->trigger();
    ASSERT_EQ(helpWindows().size(), 1);
    HelpWindow* help = helpWindows()[0];
    EXPECT_TRUE(help->isVisible() && help->isWindow());
    EXPECT_EQ(help->windowTitle(), "Lexivo Help");
    const QString text = help->Txt_Help->toPlainText();
    for (const char* topic :
         {"Anagram", "Synogram", "Palindrome", "Letters in a word", "Fixed mask", "Sort by word length",
          "Import/Export", "Remove these characters:", "Delete selected", "Check Database", "Quick Re-build",
          "Complete Rebuild", "Compact Database", "backup.bak", "lexivo.ini"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
    EXPECT_TRUE(dialogs.shown().empty());

    // Esc (pressed in the document) and the Close button both close it; Contents shows the same window again.
    press(help->Txt_Help, Qt::Key_Escape);
    EXPECT_FALSE(help->isVisible());
    window->Mnu_Help_Contents->trigger();
    EXPECT_EQ(helpWindows().size(), 1);
    EXPECT_TRUE(help->isVisible());
    help->Cmd_Close->click();
    EXPECT_FALSE(help->isVisible());
}

TEST_F(HelpWindowTest, MissingDocumentIsReportedWithTheReason) {
    const QString missing = path("gone.html");
    EXPECT_EQ(ShowHelp(window.get(), dialogs, missing), nullptr);
    EXPECT_EQ(dialogs.texts(), QStringList({"The help document " + missing + " cannot be found."}));
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::Notice);
    EXPECT_TRUE(helpWindows().isEmpty());
}

TEST_F(HelpWindowTest, AnotherDocumentCanBeShown) {
    WriteFile(path("other.html"), "<html><head><title>Other</title></head><body><p>Some help</p></body></html>");
    HelpWindow* help = ShowHelp(window.get(), dialogs, path("other.html"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->Txt_Help->toPlainText(), "Some help");
    EXPECT_EQ(help->windowTitle(), "Other");
}

}  // namespace
}  // namespace lexivo::test
