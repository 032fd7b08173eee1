#include "shell/long_run.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class LongRunTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        startWithDatabase({"tea"});
        openShown();
        stop = find<QPushButton>("Cmd_Close");
        panel = find<QGroupBox>("Fme_Search");
    }
    void TearDown() override {
        // A failed test must not leave the busy pointer to the next one.
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    // A click on the stop button that arrives while the run lets the window handle its input.
    void clickDuringRun() { QMetaObject::invokeMethod(stop, "click", Qt::QueuedConnection); }

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

    QPushButton* stop = nullptr;
    QGroupBox* panel = nullptr;
};

TEST_F(LongRunTest, StartAndEndSteps) {
    RunControl& run = window->run();
    EXPECT_TRUE(run.stopFlag());
    run.beginRun(QStringLiteral("Starting search..."));
    EXPECT_FALSE(run.stopFlag());
    EXPECT_TRUE(window->runActive());
    EXPECT_EQ(stop->text(), "&Stop");
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_FALSE(panel->isEnabled());
    EXPECT_EQ(find<QLabel>("Status")->text(), "Starting search...");
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    // Nothing that would start another run or touch the database; leaving stays possible.
    for (const char* name : {"Mnu_File_New", "Mnu_File_Open", "Mnu_File_Close", "Mnu_File_Import", "Mnu_File_Check",
                             "Mnu_File_Rebuild", "Mnu_File_QuickRebuild", "Mnu_File_Compact", "Mnu_Edit_Delete_1"})
        EXPECT_FALSE(find<QAction>(name)->isEnabled()) << name;
    EXPECT_FALSE(find<QMenu>("Mnu_Edit")->menuAction()->isEnabled());
    EXPECT_TRUE(find<QAction>("File_Exit")->isEnabled());
    EXPECT_TRUE(find<QAction>("Mnu_Help_About")->isEnabled());

    run.setProgressMaximum(40);
    run.setProgressValue(10);
    EXPECT_EQ(find<QProgressBar>("ProgressBar1")->value(), 10);

    run.endRun();
    EXPECT_TRUE(run.stopFlag());
    EXPECT_FALSE(window->runActive());
    EXPECT_EQ(stop->text(), "&Close");
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(find<QAction>("Mnu_File_Close")->isEnabled());
    EXPECT_TRUE(find<QMenu>("Mnu_Edit")->menuAction()->isEnabled());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(LongRunTest, StopAnsweredNoGoesOnThenYesStops) {
    dialogs.no().yes();
    clickDuringRun();
    QString captionAfterNo;
    const qint64 records = fakeRun([&](int slice) {
        if (slice == 1) {
            captionAfterNo = stop->text();
            EXPECT_FALSE(window->run().stopFlag());
            clickDuringRun();
        }
    });
    EXPECT_EQ(captionAfterNo, "&Stop");
    EXPECT_LT(records, 100'000'000);
    EXPECT_EQ(dialogs.texts(), QStringList({"Abort?", "Abort?"}));
    EXPECT_EQ(dialogs.shown().front().kind, ScriptedDialogs::Kind::Question);
    EXPECT_EQ(dialogs.shown().front().title, "Lexivo");
    EXPECT_EQ(stop->text(), "&Close");
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(LongRunTest, SecondClickBeforeTheRunSeesTheStopIsTheSameRequest) {
    dialogs.yes();
    clickDuringRun();
    clickDuringRun();
    fakeRun();
    EXPECT_EQ(dialogs.texts(), QStringList{"Abort?"});
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->database().CurrentDatabase.isOpen());
}

TEST_F(LongRunTest, ClosingDuringARunStopsItThenShutsDown) {
    QMetaObject::invokeMethod(window.get(), "close", Qt::QueuedConnection);
    bool openWhileRunning = false;
    fakeRun([&](int) { openWhileRunning = window->isVisible() && window->database().CurrentDatabase.isOpen(); });
    EXPECT_TRUE(openWhileRunning);
    // No question: closing is a confirmed stop.
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(window->isVisible());
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(settingsBytes(), QFile::encodeName(path("english.mdb")) + "\r\n");
}

TEST_F(LongRunTest, ExitDuringARunStopsItThenShutsDown) {
    bool triggered = false;
    fakeRun([&](int) {
        if (triggered) return;
        triggered = true;
        find<QAction>("File_Exit")->trigger();
    });
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(LongRunTest, CloseButtonWhileIdleClosesWithoutAQuestion) {
    stop->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(settingsBytes().isEmpty());
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

TEST_F(LongRunTest, VeryLongRunsStillShowTheirProgress) {
    RunControl& run = window->run();
    auto* bar = find<QProgressBar>("ProgressBar1");
    run.beginRun(QStringLiteral("Working..."));
    run.setProgressMaximum(10'000'000'000);
    run.setProgressValue(5'000'000'000);
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_NEAR(static_cast<double>(bar->value()) / bar->maximum(), 0.5, 0.01);
    run.endRun();
}

}  // namespace
}  // namespace lexivo::test
