// The main window's menus and state, its settings file and start-up files, the message boxes, the search panel.

#include <gtest/gtest.h>

#include <QtWidgets>
#include <functional>
#include <tuple>

#include "common/settings_file.h"
#include "shell/frm_main.h"
#include "shell/help_commands.h"
#include "shell/help_window.h"
#include "shell/qt_dialogs.h"
#include "shell/search_panel.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

TEST_F(WindowTest, HelpClosesOnItsButtonAndOnEscape) {
    openShown();
    InstallHelpCommands(*window);
    for (bool byButton : {false, true}) {
        window->Mnu_Help_Contents->trigger();
        const auto helps = window->findChildren<HelpWindow*>();
        ASSERT_EQ(helps.size(), 1);
        ASSERT_TRUE(helps[0]->isVisible());
        if (byButton)
            helps[0]->Cmd_Close->click();
        else {
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(helps[0]->Txt_Help, &escape);
        }
        EXPECT_FALSE(helps[0]->isVisible());
    }
}

class HookedWindowTest : public WindowTest {
protected:
    class Hooked : public Frm_Main {
    public:
        using Frm_Main::Frm_Main;
        int searches = 0;

    protected:
        void onSearchClicked() override { ++searches; }
    };
    Frm_Main& open() override {
        window = std::make_unique<Hooked>(dialogs, programFolder());
        return *window;
    }
    int searches() const { return static_cast<Hooked&>(*window).searches; }
};

// Enter starts a search (the input kept as typed, not a history entry of another case), but presses a button.
TEST_F(HookedWindowTest, EnterStartsASearchExceptOnAButton) {
    startWithDatabase({"tea"});
    openShown();
    SearchPanel& panel = *window->Fme_Search;
    panel.Text1->addItem("tea");
    panel.Text1->setEditText("Tea");
    press(panel.Text1, Qt::Key_Return);
    EXPECT_EQ(panel.Text1->currentText(), "Tea");
    press(panel.Opt_Search[3], Qt::Key_Return);
    press(window->List1, Qt::Key_Enter);
    press(panel.Cmb_Letters[1], Qt::Key_Return);
    EXPECT_EQ(searches(), 4);
    press(panel.Cmd_Search, Qt::Key_Return);
    EXPECT_EQ(searches(), 5);
}

TEST_F(WindowTest, RightButtonOverTheListOpensTheEditMenuOnTheSelection) {
    startWithDatabase({"tea"});
    openShown();
    showResults({"ate", "eat", "tea"});
    select({1});
    click(window->List1->viewport(), rowCentre(0), Qt::RightButton);
    EXPECT_TRUE(window->Mnu_Edit->isVisible());
    EXPECT_EQ(selectedRows(), QList<int>{1});  // the menu's commands work on the selection the user had
    window->Mnu_Edit->hide();
    click(window->List1->viewport(), rowCentre(0));
    EXPECT_FALSE(window->Mnu_Edit->isVisible());
}

// One line ended by CR LF, beside the program, or in the configuration folder when the program's folder cannot
// be written or the program is installed (../share/applications).
TEST_F(WindowTest, TheSettingsFileHoldsOneLineBesideTheProgramOrInTheConfigurationFolder) {
    const SettingsFile settings(programFolder(), fallbackFolder());
    for (const QString& name : {QStringLiteral("/wörter/français.mdb"), QString()}) {
        ASSERT_TRUE(settings.write(name));
        EXPECT_EQ(settingsBytes(), QFile::encodeName(name) + "\r\n");
        EXPECT_EQ(settings.read(), name);
    }
    WriteFile(settingsPath(), "/my words/list, big ,one.mdb\r\nsecond line\r\n");
    EXPECT_EQ(settings.read(), "/my words/list, big ,one.mdb");
    WriteFile(settingsPath(), "/no/line/end.mdb");
    EXPECT_EQ(settings.read(), "/no/line/end.mdb");
    EXPECT_FALSE(QFile::exists(settings.fallbackFile()));

    ASSERT_TRUE(SettingsFile(unusableFolder(), fallbackFolder()).write(QStringLiteral("/words/english.mdb")));
    EXPECT_EQ(ReadFile(fallbackFolder() + "/lexivo.ini"), "/words/english.mdb\r\n");
    EXPECT_EQ(settings.read(), "/no/line/end.mdb");  // the file beside the program comes first
    QFile::remove(settingsPath());
    EXPECT_EQ(settings.read(), "/words/english.mdb");
    EXPECT_FALSE(SettingsFile(unusableFolder(), unusableFolder()).write(QStringLiteral("/x.mdb")));  // reported

    WriteFile(settingsPath(), "/beside.mdb\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("share/applications")));
    WriteFile(path(QStringLiteral("share/applications/lexivo.desktop")), "[Desktop Entry]\n");
    const SettingsFile installed(programFolder(), fallbackFolder());
    ASSERT_TRUE(installed.write(QStringLiteral("/installed.mdb")));
    EXPECT_EQ(installed.read(), "/installed.mdb");
    EXPECT_EQ(settingsBytes(), "/beside.mdb\r\n");
    EXPECT_EQ(installed.writableFolder(), fallbackFolder());
}

TEST_F(WindowTest, StartWithoutADatabaseAndForgetOneDeletedBetweenRuns) {
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted);
        if (deleted) writeSettings(path("gone.mdb"));
        open();
        EXPECT_EQ(window->Fme_Search->title(), "(No Database Loaded)");
        EXPECT_FALSE(window->Fme_Search->isEnabled());
        EXPECT_FALSE(window->Mnu_File_Import->isEnabled());
        EXPECT_TRUE(window->database().DatabasePath.isEmpty());
        EXPECT_EQ(QFile::exists(settingsPath()), deleted);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(settingsBytes(), "\r\n");
        EXPECT_TRUE(dialogs.shown().empty());
    }
}

// A database named on the command line is opened as File Open opens it, and recorded at shutdown.
TEST_F(WindowTest, ADatabaseNamedAtStartUpIsOpenedAsFileOpenOpensIt) {
    startWithDatabase({"cat"}, "last.mdb");
    CreateWordDatabase(path("named.mdb"), {"tea", "eat"});
    CreateWordDatabase(path("empty.mdb"), {});
    WriteFile(path("plain.txt"), "not a database");
    for (const QString& name : {QStringLiteral("named.mdb"), QStringLiteral("empty.mdb"), QStringLiteral("plain.txt"),
                                QStringLiteral("missing.mdb")}) {
        SCOPED_TRACE(name.toStdString());
        const QString file = path(name);
        dialogs.clear();
        window = std::make_unique<Frm_Main>(dialogs, programFolder(), StartUpFiles{file, {}});
        const QStringList started = dialogs.texts();
        const QString startedPath = window->database().DatabasePath;
        const QString startedStatus = window->Status->text() + window->Fme_Search->title();
        ASSERT_TRUE(window->close());
        EXPECT_EQ(settingsBytes(), QFile::encodeName(startedPath) + "\r\n");

        writeSettings(QString());
        open();
        dialogs.clear();
        dialogs.fileName(file);
        window->Mnu_File_Open->trigger();
        EXPECT_EQ(QStringList(dialogs.texts().mid(1)), started);
        EXPECT_EQ(window->database().DatabasePath, startedPath);
        EXPECT_EQ(window->Status->text() + window->Fme_Search->title(), startedStatus);
        EXPECT_EQ(startedPath.isEmpty(), name == "plain.txt" || name == "missing.mdb");
        EXPECT_EQ(started.isEmpty(), name == "named.mdb");
    }
}

// The default database stands in only where the settings name no database that exists.
TEST_F(WindowTest, TheDefaultDatabaseOpensWhenTheSettingsNameNoneThatExists) {
    const QString fallback = path("default.mdb");
    CreateWordDatabase(fallback, {"listen", "silent"});
    const QString other = path("other.mdb");
    CreateWordDatabase(other, {"cat"});
    const std::pair<QString, QString> cases[] = {{QString(), fallback}, {path("gone.mdb"), fallback}, {other, other}};
    for (const auto& [named, opened] : cases) {
        writeSettings(named);
        window = std::make_unique<Frm_Main>(dialogs, programFolder(), StartUpFiles{{}, fallback});
        EXPECT_EQ(window->database().DatabasePath, opened) << named.toStdString();
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST(QtDialogsTest, EachBoxAnswersWithTheButtonPressed) {
    QtDialogs dialogs;
    using B = QMessageBox;
    const std::tuple<std::function<int()>, B::StandardButton, QString, B::Icon, B::StandardButtons, int> cases[] = {
        {[&] { return (dialogs.failure("The text", "Export"), 0); }, B::Ok, "Export", B::Warning, B::Ok, 0},
        {[&] { return int(dialogs.question("The text")); }, B::Yes, "Lexivo", B::NoIcon, B::Yes | B::No, 1},
        {[&] { return int(dialogs.question("The text")); }, B::No, "Lexivo", B::NoIcon, B::Yes | B::No, 0},
        {[&] { return int(dialogs.abortRetryIgnore("The text", "Compaction")); }, B::Ignore, "Compaction", B::Critical,
         B::Abort | B::Retry | B::Ignore, int(Dialogs::ErrorChoice::Ignore)},
    };
    for (const auto& [show, press, title, icon, buttons, answer] : cases) {
        QString seen;
        QTimer::singleShot(0, [&, press = press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = QStringList{box->windowTitle(), box->text(), QString::number(box->icon()),
                               QString::number(box->standardButtons().toInt())}
                       .join('|');
            box->button(press)->click();
        });
        EXPECT_EQ(show(), answer) << title.toStdString();
        EXPECT_EQ(seen,
                  QStringList({title, "The text", QString::number(icon), QString::number(buttons.toInt())}).join('|'));
    }
}

class SearchPanelTest : public ::testing::Test {
protected:
    SearchPanelTest() { panel.fillLengthLists(); }

    void mode(int index) { panel.Opt_Search[static_cast<size_t>(index)]->click(); }
    void setInput(const QString& input) { text->setEditText(input); }
    static void choose(QComboBox* list, int entry) { list->setCurrentIndex(entry); }

    // The lists' entries, and "on" where the user may change both, "off" where neither.
    QString lists() const {
        const int enabled = minimum->isEnabled() + maximum->isEnabled();
        return QStringLiteral("%1/%2 %3").arg(minimum->currentIndex()).arg(maximum->currentIndex()).arg(
            QStringList{"off", "one", "on"}[enabled]);
    }

    SearchPanel panel;
    QComboBox* text = panel.Text1;
    QComboBox* minimum = panel.Cmb_Letters[SearchPanel::Minimum];
    QComboBox* maximum = panel.Cmb_Letters[SearchPanel::Maximum];
    QCheckBox* sort = panel.Chk_Sort;
};

// Which modes tie the length lists to the input; the sort choice is hidden when all results have one length.
TEST_F(SearchPanelTest, InputAndModeSetTheLengthListsAndTheSortChoice) {
    struct Case {
        const char* what;
        int from;
        QString before;
        int to;
        QString input;
        int min, max;
        bool enabled;
        bool sort;
    };
    const int A = SearchPanel::Anagram, M = SearchPanel::Mask;
    const bool hidden = true, shown = false;  // the sort choice
    const Case cases[] = {
        {"anagram fixes the length", A, "", A, "stream", 5, 5, false, hidden},
        {"anagram of one letter offers no range", M, "???", A, "a", 0, 0, false, hidden},
        {"anagram of 51 letters", A, "abcd", A, QString(51, u'x'), 0, 0, false, hidden},
        {"anagram of 50 letters", A, "", A, QString(50, u'x'), 49, 49, false, hidden},
        {"characters, not UTF-16 units", A, "", A, QString::fromUcs4(U"\U0001D49C\U0001D49D\U0001D49E"), 2, 2, false,
         hidden},
        {"anagram hides the sort choice with no input", SearchPanel::Synogram, "", A, "", 0, 0, false, hidden},
        {"fixed mask length", A, "", M, "c??e", 3, 3, false, hidden},
        {"fixed mask with a run wildcard", M, "c??e", M, "c*e", 0, 0, true, shown},
        {"add", A, "", SearchPanel::Add, "words", 4, 4, false, hidden},
        {"letters in a word frees the lists", A, "abc", SearchPanel::Letters, "abc", 0, 0, true, shown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mode(c.from);
        setInput(c.before);
        mode(c.to);
        setInput(c.input);
        EXPECT_EQ(lists(), QStringLiteral("%1/%2 %3").arg(c.min).arg(c.max).arg(c.enabled ? "on" : "off"));
        EXPECT_EQ(sort->isHidden(), c.sort);
    }
}

TEST_F(SearchPanelTest, SynogramListsFollowTheUserAndPalindromeKeepsThem) {
    mode(SearchPanel::Synogram);
    for (QComboBox* list : {maximum, minimum}) {
        choose(maximum, 8);
        choose(minimum, 4);
        choose(list, 0);  // no limit on one side means none on either
        EXPECT_EQ(lists(), "0/0 on") << list->objectName().toStdString();
    }
    choose(maximum, 5);
    choose(minimum, 2);
    choose(minimum, 8);  // the list just chosen wins
    EXPECT_EQ(lists(), "8/8 on");
    choose(maximum, 3);
    EXPECT_EQ(lists(), "3/3 on");
    text->lineEdit()->insert("m");  // typing resets them
    EXPECT_EQ(lists(), "0/0 on");
    choose(maximum, 5);
    choose(minimum, 3);
    mode(SearchPanel::Palindrome);
    EXPECT_TRUE(text->isHidden());
    setInput("level");  // a word taken into the hidden box changes nothing either
    EXPECT_EQ(lists(), "3/5 on");
    mode(SearchPanel::Synogram);
    EXPECT_FALSE(text->isHidden());
}

// The rack and the phrase bound each word, not the input: choosing them and typing start the lists at
// "(All words)"; a range chosen after typing stays. Their order is their own.
TEST_F(SearchPanelTest, RackAndPhraseStartTheListsFreeAndHideTheSortChoice) {
    for (const int game : {SearchPanel::Rack, SearchPanel::Phrase}) {
        mode(SearchPanel::Anagram);
        setInput("retains");
        mode(game);
        EXPECT_EQ(lists(), "0/0 on");
        choose(maximum, 5);
        choose(minimum, 2);
        setInput("aeinrst??");
        EXPECT_EQ(lists(), "0/0 on");
        choose(maximum, 5);
        choose(minimum, 2);
        EXPECT_EQ(lists(), "2/5 on");
        EXPECT_TRUE(sort->isHidden());
        choose(maximum, 2);  // one length for all words does not show the box again here
        EXPECT_TRUE(sort->isHidden());
    }
    mode(SearchPanel::Letters);
    EXPECT_FALSE(sort->isHidden());
}

}  // namespace
}  // namespace lexivo::test
