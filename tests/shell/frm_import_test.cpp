#include "shell/frm_import.h"

#include <QtWidgets>

#include "shell/results_model.h"
#include "store/engine.h"
#include "window_fixture.h"

namespace lexivo::test {
namespace {

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

class FrmImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        const QString database = dir.filePath("words.mdb");
        CreateWordDatabase(database, {"pear", "apple", "fig", "banana"});
        OpenWordDatabase(state, database);
        lists = dir.filePath("lists");
        ASSERT_TRUE(QDir().mkpath(lists + "/sub"));
        WriteFile(lists + "/list.txt", "kiwi\r\nlime\r\n");
        WriteFile(lists + "/other.lst", "x\r\n");
        WriteFile(lists + "/README", "x\r\n");
        openWindow();
    }
    void openWindow() {
        window = std::make_unique<Frm_Import>(state.CurrentDatabase, dialogs, [this] { return selection; });
        window->setStartFolder(lists);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    void ok(const QString& name) {
        window->Txt_Filename->setText(name);
        window->Cmd_OK->click();
    }
    void exportTo(const QString& name) {
        window->Option1->setChecked(true);
        ok(name);
    }
    static void pressEscape(QWidget* target) {
        QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    }
    QStringList words() { return StoredWords(state.CurrentDatabase); }
    void expectIdle() {
        EXPECT_FALSE(window->runActive());
        EXPECT_EQ(window->Cmd_Cancel->text(), "&Close");
        EXPECT_EQ(window->Status->text(), "");
        EXPECT_EQ(window->ProgressBar1->value(), 0);
        EXPECT_TRUE(window->Cmd_OK->isEnabled());
        EXPECT_TRUE(window->Cmd_Clear->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }

    QTemporaryDir dir;
    QString lists;
    DatabaseState state;
    ScriptedDialogs dialogs;
    QStringList selection;
    std::unique_ptr<Frm_Import> window;
};

TEST_F(FrmImportTest, TypingIntoAFilterBoxTicksItsCheckBoxForGood) {
    const std::pair<QLineEdit*, QCheckBox*> pairs[] = {{window->Txt_Min, window->Chk_Min},
                                                       {window->Txt_Max, window->Chk_Max},
                                                       {window->Txt_Ignore, window->Chk_Ignore},
                                                       {window->Txt_Remove, window->Chk_Remove}};
    for (const auto& [box, check] : pairs) {
        box->insert("2x");
        box->clear();
        EXPECT_TRUE(check->isChecked()) << box->objectName().toStdString();
    }
    window->Txt_Min->setText("2x");
    EXPECT_EQ(window->wordFilter().minimum, 2);
    EXPECT_TRUE(window->wordFilter().removeOn);
}

TEST_F(FrmImportTest, ImportAsksBeforeReplacingUnlessAppending) {
    dialogs.no();
    ok("list.txt");
    EXPECT_EQ(dialogs.shown().at(0).title, "Continue with import?");
    EXPECT_EQ(words(), QStringList({"pear", "apple", "fig", "banana"}));
    dialogs.yes();
    ok("list");
    EXPECT_EQ(words(), QStringList({"kiwi", "lime"}));
    const QString question = "All existing words will be replaced.";
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 2 words imported,0 duplicates skipped, 0, blanks skipped.");
    EXPECT_EQ(dialogs.questionsDefaultingToNo(), QStringList({question, question}));
    dialogs.clear();
    window->Chk_Append->setChecked(true);
    WriteFile(lists + "/more.txt", "kiwi\r\nplum\r\n");
    ok("more.txt");
    EXPECT_EQ(words(), QStringList({"kiwi", "lime", "plum"}));
    EXPECT_EQ(dialogs.texts(),
              QStringList({"Import Complete. 1 words imported,1 duplicates skipped, 0, blanks skipped."}));
    expectIdle();
}

TEST_F(FrmImportTest, ExportAsksBeforeOverwritingAndAppendsWhenTicked) {
    exportTo("out");
    EXPECT_EQ(ReadFile(lists + "/out.txt"), "apple\r\nbanana\r\nfig\r\npear\r\n");
    EXPECT_EQ(dialogs.texts(), QStringList({"Export Complete."}));

    dialogs.clear();
    dialogs.onNextShown([this] { EXPECT_EQ(window->Cmd_Cancel->text(), "&Cancel"); }).no();
    window->Txt_Min->setText("4");
    exportTo("out.txt");
    EXPECT_EQ(dialogs.texts(), QStringList({"Overwrite " + lists + "/out.txt"}));
    EXPECT_EQ(ReadFile(lists + "/out.txt"), "apple\r\nbanana\r\nfig\r\npear\r\n");

    dialogs.clear();
    dialogs.yes();
    window->Chk_Append->setChecked(true);
    exportTo("out.txt");
    EXPECT_EQ(ReadFile(lists + "/out.txt"), "apple\r\nbanana\r\nfig\r\npear\r\napple\r\nbanana\r\npear\r\n");
    EXPECT_EQ(dialogs.texts(), QStringList({"Overwrite " + lists + "/out.txt", "Export Complete."}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo().size(), 1);
    expectIdle();

    // The selection, in its list order; the new file shows in the list at once.
    selection = {"zebra", "ox", "mango", "emu"};
    window->Chk_Export->setChecked(true);
    window->Txt_Min->setText("3");
    exportTo("found.txt");
    EXPECT_EQ(ReadFile(lists + "/found.txt"), "zebra\r\nmango\r\nemu\r\n");
    EXPECT_EQ(Texts(window->File1), QStringList({"found.txt", "list.txt", "out.txt"}));
}

// During a run "&Stop" and Esc ask first; closing is a confirmed stop and closes once the run has ended.
TEST_F(FrmImportTest, StopEscapeAndClosingDuringAnExport) {
    struct Case {
        const char* what;
        std::function<void()> act;
        int answer;  // -1: no question
        QByteArray written;
        bool closes;
    };
    const Case cases[] = {
        {"escape answered no", [this] { pressEscape(window.get()); }, 0, "apple\r\nbanana\r\nfig\r\npear\r\n", false},
        {"stop", [this] { duringRun(window->Cmd_Cancel, "click"); }, 1, "apple\r\n", false},
        {"close", [this] { duringRun(window.get(), "close"); }, -1, "apple\r\n", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        openWindow();  // a window of its own, whose run handles input at its first word
        dialogs.clear();
        QFile::remove(lists + "/out.txt");
        if (c.answer >= 0) {
            dialogs.onNextShown([this] {
                EXPECT_EQ(window->Cmd_Cancel->text(), "&Stop");
                EXPECT_EQ(window->Status->text(), "apple");  // another run or a clear refused until this one ends
                EXPECT_FALSE(window->Cmd_OK->isEnabled());
                EXPECT_FALSE(window->Cmd_Clear->isEnabled());
                window->Cmd_Clear->click();
            });
            c.answer ? dialogs.yes() : dialogs.no();
        }
        selection = {"apple", "banana", "fig", "pear"};
        window->Chk_Export->setChecked(true);
        c.act();
        exportTo("out.txt");
        EXPECT_EQ(ReadFile(lists + "/out.txt"), c.written);
        EXPECT_EQ(dialogs.texts(),
                  c.answer >= 0 ? QStringList({"Abort?", "Export Complete."}) : QStringList({"Export Complete."}));
        EXPECT_TRUE(window->isVisible());
        expectIdle();
        QApplication::processEvents();
        EXPECT_EQ(window->isVisible(), !c.closes);
    }
    // Idle, Esc in a text box reaches the window and closes it.
    openWindow();
    pressEscape(window->Txt_Filename);
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
}

TEST_F(FrmImportTest, ClearRemovesEveryWordAfterTheQuestion) {
    const QString question = "Are you sure you want to remove all words from the database?";
    for (const bool yes : {false, true}) {
        yes ? dialogs.yes() : dialogs.no();
        window->Cmd_Clear->click();
        EXPECT_EQ(words().size(), yes ? 0 : 4);
    }
    EXPECT_EQ(dialogs.texts(), QStringList({question, question, "Database cleared."}));
    EXPECT_EQ(dialogs.questionsDefaultingToNo().size(), 2);
}

// Modal over the main window; exports its results and leaves it as it was but for the word count.
TEST_F(WindowTest, OpensModallyOverTheMainWindowWithItsResults) {
    startWithDatabase({"tea", "eat"});
    Frm_Main& main = openShown();
    main.results().append(QStringList{"eat", "tea"});
    WriteFile(path("list.txt"), "a\r\nb\r\nc\r\n");
    QPointer<Frm_Import> shown;
    QTimer::singleShot(0, &main, [&] {
        shown = qobject_cast<Frm_Import*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->parentWidget(), &main);
        shown->setFolder(dir.path());
        shown->Chk_Export->setChecked(true);
        shown->Option1->setChecked(true);
        shown->Txt_Filename->setText("found");
        shown->Cmd_OK->click();
        shown->Opt_Import->setChecked(true);
        shown->Txt_Filename->setText("list.txt");
        dialogs.yes();
        shown->Cmd_OK->click();
        shown->Cmd_Cancel->click();
    });
    main.Mnu_File_Import->trigger();
    EXPECT_EQ(ReadFile(path("found.txt")), "eat\r\ntea\r\n");
    EXPECT_EQ(dialogs.texts().first(), "Export Complete.");
    EXPECT_TRUE(shown.isNull());  // gone once closed
    EXPECT_EQ(main.Status->text(), "3 words.");
    EXPECT_EQ(main.results().words(), QStringList({"eat", "tea"}));
}

}  // namespace
}  // namespace lexivo::test
