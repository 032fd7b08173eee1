#include "shell/frm_about.h"

#include <QDesktopServices>
#include <QTimer>
#include <QUrl>

#include "shell/contact.h"
#include "shell/help_commands.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

// Stands in for the desktop's browser and mail program.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() {
        for (const char* scheme : {"https", "mailto"}) QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override {
        for (const char* scheme : {"https", "mailto"}) QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

TEST(AboutVersion, PadsMinorToTwoAndRevisionToFourDigits) {
    EXPECT_EQ(Frm_About::VersionText(1, 0, 37), "1.00.0037");
    EXPECT_EQ(Frm_About::VersionText(2, 5, 0), "2.05.0000");
    EXPECT_EQ(Frm_About::VersionText(10, 12, 12345), "10.12.12345");
}

class AboutTest : public WindowTest {};

TEST_F(AboutTest, StatisticsTextForNoneEmptyOneAndMany) {
    DatabaseState none;
    EXPECT_EQ(Frm_About(none).Lbl_Stats->text(), "No database loaded.");
    const std::pair<QStringList, QString> cases[] = {
        {{}, "Database is empty, import from a word list text file."},
        {{"cat"}, "Database contains 1 words."},
        {{"cat", "dog", "emu"}, "Database contains 3 words."},
    };
    for (const auto& [words, text] : cases) {
        SCOPED_TRACE(text.toStdString());
        DatabaseState state;
        const QString database = path(QStringLiteral("%1.mdb").arg(words.size()));
        CreateWordDatabase(database, words);
        OpenWordDatabase(state, database);
        Frm_About about(state);
        EXPECT_EQ(about.Lbl_Stats->text(), text);
        EXPECT_EQ(about.Lbl_Version->text(), "1.00.0037");
    }
}

TEST_F(AboutTest, LinksLookLikeLinksAndOpenTheAddresses) {
    UrlRecorder browser;
    DatabaseState none;
    Frm_About about(none);
    EXPECT_EQ(about.windowTitle(), "Lexivo");
    EXPECT_EQ(about.Cmd_OK->text(), "&OK");
    EXPECT_EQ(about.Lbl_WWW->text() + " " + about.Lbl_WWW->toolTip(), kWebAddress + " Click to visit our web site");
    EXPECT_EQ(about.Lbl_Email->text() + " " + about.Lbl_Email->toolTip(), kEmailAddress + " Click to send us an email");
    for (QLabel* link : {static_cast<QLabel*>(about.Lbl_WWW), static_cast<QLabel*>(about.Lbl_Email)}) {
        EXPECT_TRUE(link->font().underline());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        click(link, link->rect().center());
    }
    WebSiteCommand();
    EXPECT_EQ(browser.opened, QStringList({"https://lexivo.example.com/", "mailto:feedback@lexivo.example.com",
                                           "https://lexivo.example.com/"}));
}

TEST_F(AboutTest, HelpMenuOpensTheAboutWindowModallyWithTheWordCount) {
    startWithDatabase({"cat", "dog"});
    openShown();
    InstallHelpCommands(*window);
    QString stats;
    bool modal = false;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<Frm_About*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        modal = about->isModal();
        stats = about->Lbl_Stats->text();
        about->Cmd_OK->click();
    });
    window->Mnu_Help_About->trigger();
    EXPECT_TRUE(modal);
    EXPECT_EQ(stats, "Database contains 2 words.");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace lexivo::test

#include "frm_about_test.moc"
