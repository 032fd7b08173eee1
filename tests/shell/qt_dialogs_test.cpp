#include "shell/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace lexivo {
namespace {

// What the box showed, read while it is open; then the given button is pressed.
struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class QtDialogsTest : public ::testing::Test {
protected:
    // Shows a box through the dialogs and answers it with the given button.
    template <class F>
    Seen run(QMessageBox::StandardButton answer, F&& show) {
        auto seen = std::make_shared<Seen>();
        QTimer::singleShot(0, [seen, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            *seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
            box->button(answer)->click();
        });
        show();
        return *seen;
    }
    QtDialogs dialogs;
};

TEST_F(QtDialogsTest, NoticeHasNoIconAndTheProgramTitle) {
    const Seen seen = run(QMessageBox::Ok, [&] { dialogs.notice("The database is currently empty."); });
    EXPECT_EQ(seen.title, "Lexivo");
    EXPECT_EQ(seen.text, "The database is currently empty.");
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
}

TEST_F(QtDialogsTest, FailureWarns) {
    const Seen seen = run(QMessageBox::Ok, [&] { dialogs.failure("Disk full", "Export"); });
    EXPECT_EQ(seen.title, "Export");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
}

TEST_F(QtDialogsTest, QuestionsAnswerWithTheirButtons) {
    bool answer = false;
    Seen seen = run(QMessageBox::Yes, [&] { answer = dialogs.question("Abort?"); });
    EXPECT_TRUE(answer);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    seen = run(QMessageBox::No, [&] { answer = dialogs.question("Abort?"); });
    EXPECT_FALSE(answer);
    seen = run(QMessageBox::Cancel, [&] { answer = dialogs.retryCancel("Busy"); });
    EXPECT_FALSE(answer);
    EXPECT_EQ(seen.buttons, QMessageBox::Retry | QMessageBox::Cancel);
}

TEST_F(QtDialogsTest, AbortRetryIgnoreIsCritical) {
    Dialogs::ErrorChoice choice = Dialogs::ErrorChoice::Abort;
    const Seen seen =
        run(QMessageBox::Ignore, [&] { choice = dialogs.abortRetryIgnore("Compaction failed", "Lexivo"); });
    EXPECT_EQ(choice, Dialogs::ErrorChoice::Ignore);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
}

TEST_F(QtDialogsTest, SaveDialogPresetsTheNameAndAddsTheExtension) {
    QTemporaryDir dir;
    QString shownName;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit")) shownName = name->text();
        dialog->setDirectory(dir.path());
        dialog->selectFile("english");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const QString chosen = dialogs.saveFileName("*.mdb", "mdb");
    EXPECT_EQ(shownName, "*.mdb");
    EXPECT_EQ(chosen, dir.filePath("english.mdb"));
}

TEST_F(QtDialogsTest, CancelledFileDialogGivesNoName) {
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) dialog->reject();
    });
    EXPECT_TRUE(dialogs.openFileName("*.mdb", "mdb").isEmpty());
}

}  // namespace
}  // namespace lexivo
