#include "shell/long_run.h"

#include <QLabel>
#include <QProgressBar>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class LongRunTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        startWithDatabase({"tea"});
        openShown();
    }

    // A run over many records in the way every long run goes; onSlice runs each time input was handled.
    qint64 fakeRun(const std::function<void(int slice)>& onSlice = {}, qint64 records = 100'000'000) {
        RunControl& run = window->run();
        run.beginRun(QStringLiteral("Working..."));
        run.setProgressMaximum(records);
        qint64 record = 0;
        int slices = 0;
        while (record < records) {
            ++record;
            if (run.step(record, QStringLiteral("word%1").arg(record)) && onSlice) onSlice(++slices);
            if (run.stopFlag()) break;
        }
        run.flush(record, QString());
        run.endRun();
        return record;
    }
};

TEST_F(LongRunTest, StartAndEndSteps) {
    RunControl& run = window->run();
    run.beginRun(QStringLiteral("Starting search..."));
    EXPECT_FALSE(run.stopFlag());
    EXPECT_TRUE(window->runActive());
    EXPECT_EQ(window->Cmd_Close->text(), "&Stop");
    EXPECT_TRUE(window->Cmd_Close->isEnabled());
    EXPECT_FALSE(window->Fme_Search->isEnabled());
    EXPECT_EQ(window->Status->text(), "Starting search...");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Nothing that would start another run or touch the database; leaving and help stay possible.
    EXPECT_EQ(disabledCommands(),
              QStringList({"Mnu_File_New", "Mnu_File_Open", "Mnu_File_Close", "Mnu_File_Import", "Mnu_File_Check",
                           "Mnu_File_Rebuild", "Mnu_File_QuickRebuild", "Mnu_File_Compact", "Mnu_Edit_Copy",
                           "Mnu_SelectAll", "Mnu_Edit_Add", "Mnu_Edit_Delete_0", "Mnu_Edit_Delete_1", "Mnu_Edit"}));

    run.setProgressMaximum(40);
    run.setProgressValue(10);
    EXPECT_EQ(window->ProgressBar1->value(), 10);
    run.endRun();
    expectIdle();
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(LongRunTest, StopAnsweredNoGoesOnThenYesStops) {
    dialogs.no().yes();
    duringRun(window->Cmd_Close, "click");
    QString captionAfterNo;
    const qint64 records = fakeRun([&](int slice) {
        if (slice != 1) return;
        captionAfterNo = window->Cmd_Close->text();
        EXPECT_FALSE(window->run().stopFlag());
        duringRun(window->Cmd_Close, "click");
    });
    EXPECT_EQ(captionAfterNo, "&Stop");
    EXPECT_LT(records, 100'000'000);
    EXPECT_EQ(dialogs.texts(), QStringList({"Abort?", "Abort?"}));
    EXPECT_EQ(dialogs.shown().front().kind, ScriptedDialogs::Kind::Question);
    EXPECT_EQ(dialogs.shown().front().title, "Lexivo");
    EXPECT_TRUE(window->isVisible());
    expectIdle();
}

TEST_F(LongRunTest, SecondClickBeforeTheRunSeesTheStopIsTheSameRequest) {
    dialogs.yes();
    duringRun(window->Cmd_Close, "click");
    duringRun(window->Cmd_Close, "click");
    fakeRun();
    EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
}

TEST_F(LongRunTest, ClosingOrExitDuringARunStopsItThenShutsDown) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"close", [this] { duringRun(window.get(), "close"); }},
        {"exit", [this] { duringRun(window->File_Exit, "trigger"); }},
    };
    for (const auto& [name, leave] : ways) {
        SCOPED_TRACE(name);
        openShown();
        WriteFile(settingsPath(), "");  // written again at the shutdown
        leave();
        bool openWhileRunning = false;
        fakeRun([&](int) { openWhileRunning = window->isVisible() && window->database().CurrentDatabase.isOpen(); });
        EXPECT_TRUE(openWhileRunning);
        // No question: leaving is a confirmed stop. The window goes once the run has ended.
        EXPECT_TRUE(dialogs.shown().empty());
        EXPECT_TRUE(window->isVisible());
        QApplication::processEvents();
        EXPECT_FALSE(window->isVisible());
        EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
        EXPECT_EQ(settingsBytes(), QFile::encodeName(path("english.mdb")) + "\r\n");
    }
}

TEST_F(LongRunTest, FileCommandsAreRefusedDuringARun) {
    RunControl& run = window->run();
    run.beginRun(QStringLiteral("Working..."));
    window->openDatabase();
    window->newDatabase();
    window->closeDatabase();
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
    run.endRun();
}

}  // namespace
}  // namespace lexivo::test
