#include "shell/frm_about.h"

#include <QAction>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include "shell/contact.h"
#include "shell/frm_main.h"
#include "shell/help_commands.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

// Stands in for the desktop's browser and mail program.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    UrlRecorder() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "open");
    }
    ~UrlRecorder() override {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toString(); }
};

void click(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }
}

TEST(AboutVersion, PadsMinorToTwoAndRevisionToFourDigits) {
    EXPECT_EQ(Frm_About::VersionText(1, 0, 37), "1.00.0037");
    EXPECT_EQ(Frm_About::VersionText(2, 5, 0), "2.05.0000");
    EXPECT_EQ(Frm_About::VersionText(10, 12, 12345), "10.12.12345");
}

class AboutTest : public WindowTest {};

TEST_F(AboutTest, StatisticsTextForNoneEmptyOneAndMany) {
    DatabaseState none;
    EXPECT_EQ(Frm_About(none).Lbl_Stats->text(), "No database loaded.");

    DatabaseState state;
    CreateWordDatabase(path("empty.mdb"));
    OpenWordDatabase(state, path("empty.mdb"));
    EXPECT_EQ(Frm_About(state).Lbl_Stats->text(), "Database is empty, import from a word list text file.");

    CreateWordDatabase(path("one.mdb"), {"cat"});
    OpenWordDatabase(state, path("one.mdb"));
    EXPECT_EQ(Frm_About(state).Lbl_Stats->text(), "Database contains 1 words.");

    CreateWordDatabase(path("three.mdb"), {"cat", "dog", "emu"});
    OpenWordDatabase(state, path("three.mdb"));
    Frm_About about(state);
    EXPECT_EQ(about.Lbl_Stats->text(), "Database contains 3 words.");
    EXPECT_EQ(about.Lbl_Version->text(), "1.00.0037");
}

TEST_F(AboutTest, LooksAsDesigned) {
    DatabaseState none;
    Frm_About about(none);
    EXPECT_EQ(about.windowTitle(), "Lexivo");
    EXPECT_EQ(about.size(), QSize(424, 308));
    EXPECT_EQ(about.Label1->text(), "Lexivo");
    EXPECT_EQ(about.Label1->font().pointSize(), 36);
    EXPECT_TRUE(about.Label1->font().bold());
    EXPECT_EQ(about.Label1->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_EQ(about.Lbl_Version->font().pointSize(), 18);
    EXPECT_TRUE(about.Lbl_Stats->font().bold());
    EXPECT_EQ(about.Cmd_OK->text(), "&OK");
    EXPECT_EQ(about.Cmd_OK->geometry(), QRect(152, 264, 121, 33));
    for (QLabel* link : {static_cast<QLabel*>(about.Lbl_WWW), static_cast<QLabel*>(about.Lbl_Email)}) {
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_TRUE(link->font().underline());
        EXPECT_TRUE(link->font().bold());
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(link->alignment(), Qt::AlignCenter);
    }
    EXPECT_EQ(about.Lbl_WWW->text(), kWebAddress);
    EXPECT_EQ(about.Lbl_WWW->toolTip(), "Click to visit our web site");
    EXPECT_EQ(about.Lbl_Email->text(), kEmailAddress);
    EXPECT_EQ(about.Lbl_Email->toolTip(), "Click to send us an email");
}

TEST_F(AboutTest, LinksAndTheWebSiteCommandOpenTheAddresses) {
    UrlRecorder browser;
    DatabaseState none;
    Frm_About about(none);
    click(about.Lbl_WWW);
    click(about.Lbl_Email);
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
