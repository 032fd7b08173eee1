// The same faults as the user meets them in the main window: a file that is not a word database opened from the
// File menu, corrupt databases searched in every mode, a database that another program holds. Each failure is a
// message with its reason, and the window always comes back idle, with no transaction left open.

#include <QComboBox>
#include <QRadioButton>
#include <random>

#include "reliability/reliability_support.h"
#include "shell/frm_import.h"
#include "shell/window_fixture.h"

namespace lexivo::test {
namespace {

class WindowFaults : public WindowTest {
protected:
    SearchPanel& panel() { return *window->Fme_Search; }
    void search(int mode, const QString& input) {
        panel().Opt_Search[static_cast<size_t>(mode)]->click();
        panel().Text1->setEditText(input);
        panel().Cmd_Search->click();
    }
    void expectIdle() {
        EXPECT_EQ(window->Cmd_Close->text(), "&Close");
        EXPECT_TRUE(window->run().stopFlag());
        EXPECT_FALSE(window->runActive());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window->database().CurrentDatabase.inTransaction());
    }
    // Failure messages shown since the last look, each checked to carry a reason after its opening words.
    int failuresShown() {
        int failures = 0;
        for (const auto& shown : dialogs.shown()) {
            if (shown.kind != ScriptedDialogs::Kind::Failure && shown.kind != ScriptedDialogs::Kind::AbortRetryIgnore)
                continue;
            // The "Error!" box shows the engine's own description; a message of ours says what failed, then why.
            EXPECT_GT(shown.text.size(), shown.kind == ScriptedDialogs::Kind::Failure ? 20 : 5)
                << shown.text.toStdString();
            ++failures;
        }
        dialogs.clear();
        return failures;
    }
};

const int kListingModes[] = {SearchPanel::Anagram, SearchPanel::Synogram, SearchPanel::Letters, SearchPanel::Mask,
                             SearchPanel::Palindrome};

TEST_F(WindowFaults, OpeningAFileThatIsNotAWordDatabaseSaysSo) {
    openShown();
    const QString good = path("good.mdb");
    CreateWordDatabase(good, {"tea"});
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {{"empty.mdb", {}},
                          {"text.mdb", "apple\r\npear\r\n"},
                          {"truncated.mdb", ReadFile(good).left(3000)},
                          {"random.mdb", QByteArray(5000, '\x5A')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(c.name);
        WriteFile(file, c.bytes);
        dialogs.fileName(file);
        window->Mnu_File_Open->trigger();
        ASSERT_FALSE(dialogs.shown().empty());
        EXPECT_EQ(dialogs.shown().back().kind, ScriptedDialogs::Kind::Failure);
        EXPECT_TRUE(dialogs.lastText().contains(file)) << dialogs.lastText().toStdString();
        dialogs.clear();
        EXPECT_FALSE(window->database().loaded());
        EXPECT_FALSE(panel().isEnabled());
        EXPECT_EQ(ReadFile(file), c.bytes);
        // A good database opens normally afterwards.
        dialogs.fileName(good);
        window->Mnu_File_Open->trigger();
        EXPECT_TRUE(window->database().loaded());
        expectIdle();
    }
}

TEST_F(WindowFaults, CorruptDatabasesAreSearchedInEveryModeAndFailuresShown) {
    const QString pristinePath = path("pristine.mdb");
    CreateWordDatabase(pristinePath, GeneratedWords(1500, 4) + QStringList{"tea", "eat", "level", "cook"});
    const QByteArray pristine = ReadFile(pristinePath);
    openShown();
    std::mt19937 random(TrialSeed(31337));
    const QString copy = path("copy.mdb");
    int loaded = 0, searches = 0, failures = 0;
    for (int n = 0; n < TrialSize(25, 200); ++n) {
        SCOPED_TRACE(n);
        QByteArray bytes = pristine;
        // A burst of bytes past the header, so that most copies still load and the damage meets the searches.
        const auto start = static_cast<qsizetype>(4096 + random() % static_cast<unsigned>(bytes.size() - 4096));
        for (qsizetype i = start; i < std::min(bytes.size(), start + 64); ++i)
            bytes[i] = static_cast<char>(random() & 0xFF);
        WriteFile(copy, bytes);
        dialogs.fileName(copy);
        window->Mnu_File_Open->trigger();
        failures += failuresShown();
        expectIdle();
        if (!window->database().loaded()) continue;
        ++loaded;
        for (const int mode : kListingModes) {
            search(mode, "tea");
            ++searches;
            failures += failuresShown();
            expectIdle();
        }
        window->Mnu_File_Close->trigger();
    }
    std::printf(
        "[ figure ] corrupt databases in the window: %d loaded and searched %d times, %d failures shown "
        "with their reason, the window idle after each\n",
        loaded, searches, failures);
}

TEST_F(WindowFaults, ADatabaseHeldByAnotherProgramIsReportedByEveryCommand) {
    const QString database = startWithDatabase({"tea", "eat", "level", "cook"});
    openShown();
    ASSERT_TRUE(window->database().loaded());
    Connection holder = Connection::open(database);
    holder.execute("BEGIN EXCLUSIVE");
    window->database().CurrentDatabase.setBusyTimeout(100);
    const QByteArray before = ReadFile(database);

    // Each command reports the lock once and leaves the window idle: the searches, find-and-add (whose look-up
    // meets the lock before anything is asked), Edit Add, the check and both re-builds.
    std::vector<std::pair<std::string, std::function<void()>>> commands;
    for (const int mode : kListingModes) commands.emplace_back("search", [this, mode] { search(mode, "tea"); });
    commands.emplace_back("find and add", [this] { search(SearchPanel::Add, "newword"); });
    commands.emplace_back("Edit Add", [this] {
        panel().Text1->setEditText("newword");
        dialogs.yes();
        window->Mnu_Edit_Add->trigger();
    });
    for (QAction* action : {window->Mnu_File_Check, window->Mnu_File_QuickRebuild, window->Mnu_File_Rebuild})
        commands.emplace_back(action->objectName().toStdString(), [action] { action->trigger(); });
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        command();
        EXPECT_EQ(failuresShown(), 1);
        expectIdle();
    }
    {
        Frm_Import importExport(window->database().CurrentDatabase, dialogs, [] { return QStringList(); });
        importExport.show();
        QApplication::processEvents();
        ASSERT_TRUE(importExport.Cmd_Clear->isEnabled());
        dialogs.yes();
        importExport.Cmd_Clear->click();
        EXPECT_EQ(failuresShown(), 1);
    }
    // Compaction offers Abort, Retry and Ignore; after Abort the reload meets the lock as well, and says so.
    dialogs.choose(Dialogs::ErrorChoice::Abort);
    window->Mnu_File_Compact->trigger();
    EXPECT_GE(failuresShown(), 1);
    expectIdle();
    EXPECT_EQ(ReadFile(database), before);

    // Released, the same window searches and writes again.
    holder.rollback();
    if (!window->database().loaded()) {
        dialogs.fileName(database);
        window->Mnu_File_Open->trigger();
        ASSERT_TRUE(window->database().loaded());
    }
    search(SearchPanel::Anagram, "tea");
    EXPECT_EQ(failuresShown(), 0);
    EXPECT_EQ(window->results().words(), QStringList({"eat", "tea"}));
    panel().Text1->setEditText("newword");
    dialogs.yes();
    window->Mnu_Edit_Add->trigger();
    EXPECT_EQ(dialogs.lastText(), "OK!");
    expectIdle();
}

}  // namespace
}  // namespace lexivo::test
