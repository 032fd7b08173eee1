// Shows the main window on a word database with one search done, and saves a picture of it (or of the Meaning
// window of the first result) taken from the screen: scripts/screenshot.sh runs it under a virtual X server.
//
//   window_shot SETTINGS_FOLDER OUT.png MODE INPUT [sort-score] [ignore-accents] [tooltip] [meaning]
//
// SETTINGS_FOLDER holds the lexivo.ini that names the database; MODE is one of the search panel's modes
// (anagram, synogram, palindrome, mask, add, delete, letters, rack, phrase, wordle, pattern); tooltip shows the
// tool tip of the first result, as when the pointer rests on it.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QThread>
#include <QToolTip>
#include <cstdio>

#include "search/search_session.h"
#include "shell/appearance.h"
#include "shell/frm_main.h"
#include "shell/qt_dialogs.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"

namespace {

const QStringList kModes = {"anagram", "synogram", "palindrome", "mask",   "add",    "delete",
                            "letters", "rack",     "phrase",     "wordle", "pattern"};

// A few rounds of the event loop, so that every pending layout and painting is done.
void settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
}

// The picture of a window and of the tool tip shown over it, if any.
bool save(QWidget& shown, const QString& out) {
    settle();
    QRect frame = shown.frameGeometry();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowType() == Qt::ToolTip) frame |= top->frameGeometry();
    const QPixmap picture = shown.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    return picture.save(out);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(lexivo::kApplicationName);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int mode = args.size() >= 5 ? static_cast<int>(kModes.indexOf(args[3])) : -1;
    if (mode < 0) {
        std::fputs(
            "usage: window_shot SETTINGS_FOLDER OUT.png MODE INPUT [sort-score] [ignore-accents] [tooltip] [meaning]\n",
            stderr);
        return 2;
    }
    QApplication::setFont(lexivo::programFont());
    lexivo::QtDialogs dialogs;
    lexivo::Frm_Main window(dialogs, args[1]);
    if (!window.database().loaded()) {
        std::fputs("window_shot: the settings name no word database that loads\n", stderr);
        return 1;
    }
    dialogs.setParentWindow(&window);
    window.move(0, 0);
    window.show();
    window.session().awaitIndex();

    lexivo::SearchPanel& panel = *window.Fme_Search;
    panel.Opt_Search[static_cast<size_t>(mode)]->click();
    panel.Text1->setEditText(args[4]);
    if (args.contains(QStringLiteral("sort-score")))
        window.findChild<QAction*>(QStringLiteral("Mnu_Options_SortScore"))->setChecked(true);
    if (args.contains(QStringLiteral("ignore-accents"))) window.Chk_Accents->setChecked(true);
    panel.Cmd_Search->click();
    if (window.results().count() == 0 && args.size() > 5) {
        std::fputs("window_shot: the search found no result to show more of\n", stderr);
        return 1;
    }
    if (args.contains(QStringLiteral("tooltip"))) {
        const QModelIndex first = window.results().index(0);
        settle();
        const QPoint at = window.List1->viewport()->mapToGlobal(window.List1->visualRect(first).center());
        QToolTip::showText(at, first.data(Qt::ToolTipRole).toString(), window.List1);
    }
    if (!args.contains(QStringLiteral("meaning"))) return save(window, args[2]) ? 0 : 1;

    window.List1->setCurrentIndex(window.results().index(0));
    window.findChild<QAction*>(QStringLiteral("Mnu_Edit_Meaning"))->trigger();
    auto* meaning = window.findChild<QWidget*>(QStringLiteral("Frm_Meaning"));
    if (!meaning) return 1;
    meaning->move(0, 0);
    return save(*meaning, args[2]) ? 0 : 1;
}
