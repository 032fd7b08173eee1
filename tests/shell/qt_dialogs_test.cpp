#include "shell/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

namespace lexivo {
namespace {

TEST(QtDialogsTest, EachBoxHasItsTitleIconAndButtonsAndAnswersWithThem) {
    QtDialogs dialogs;
    using B = QMessageBox;
    struct Case {
        const char* what;
        std::function<int()> show;  // the answer given to the caller
        B::StandardButton press;
        QString title;
        B::Icon icon;
        B::StandardButtons buttons;
        int answer;
    };
    const Case cases[] = {
        {"notice", [&] { return (dialogs.notice("The text"), 0); }, B::Ok, "Lexivo", B::NoIcon, B::Ok, 0},
        {"failure", [&] { return (dialogs.failure("The text", "Export"), 0); }, B::Ok, "Export", B::Warning, B::Ok, 0},
        {"yes", [&] { return int(dialogs.question("The text")); }, B::Yes, "Lexivo", B::NoIcon, B::Yes | B::No, 1},
        {"no", [&] { return int(dialogs.question("The text")); }, B::No, "Lexivo", B::NoIcon, B::Yes | B::No, 0},
        {"retry or cancel", [&] { return int(dialogs.retryCancel("The text")); }, B::Cancel, "Lexivo", B::NoIcon,
         B::Retry | B::Cancel, 0},
        {"abort, retry or ignore", [&] { return int(dialogs.abortRetryIgnore("The text", "Compaction")); }, B::Ignore,
         "Compaction", B::Critical, B::Abort | B::Retry | B::Ignore, int(Dialogs::ErrorChoice::Ignore)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString title, text;
        B::Icon icon = B::NoIcon;
        B::StandardButtons buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(c.press)->click();
        });
        EXPECT_EQ(c.show(), c.answer);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(text, "The text");
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(buttons, c.buttons);
    }
}

}  // namespace
}  // namespace lexivo
