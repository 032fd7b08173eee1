#include "shell/maintenance_commands.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>

#include "common/paths.h"
#include "shell/frm_main.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/maintenance.h"

namespace lexivo {

namespace {

bool usable(Frm_Main& window) {
    return !window.runActive() && window.database().loaded();
}

// The commands leave the window in whatever state their reload or their run found; this puts the search panel
// and the menus back in line with the database that is loaded now.
void showDatabaseState(Frm_Main& window) {
    const DatabaseState& state = window.database();
    if (state.loaded())
        window.showDatabaseLoaded(GetFileName(state.DatabasePath));
    else
        window.showNoDatabase();
}

// While the window repaints during compaction, a close request of the window system (not user input, so it is
// handled) must wait: the shutdown would run while the database is closed and being replaced.
class CloseRefusal : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close) return QObject::eventFilter(watched, event);
        event->ignore();
        return true;
    }
};

}  // namespace

void CheckDatabaseCommand(Frm_Main& window) {
    if (!usable(window)) return;
    // The check itself cannot be stopped: it only disables the panel and shows the busy pointer over the
    // window (the quick re-build it may start is a run of its own).
    window.Fme_Search->setEnabled(false);
    window.setCursor(Qt::WaitCursor);
    CheckDatabase(window.database().CurrentDatabase, window.run(), window.dialogs(),
                  [&window] { window.showWindow(); });
    window.unsetCursor();
    showDatabaseState(window);
}

void QuickRebuildCommand(Frm_Main& window) {
    if (!usable(window)) return;
    QuickRebuild(window.database().CurrentDatabase, window.run(), window.dialogs());
}

void CompleteRebuildCommand(Frm_Main& window) {
    if (!usable(window)) return;
    window.results().clear();
    CompleteRebuild(window.database().CurrentDatabase, window.run(), window.dialogs());
}

QString CompactionFolder(const Frm_Main& window) {
    return window.settings().writableFolder();
}

void CompactDatabaseCommand(Frm_Main& window, const CompactionHooks& hooks) {
    if (!usable(window)) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window.results().clear();
    window.Fme_Search->setEnabled(false);
    // The window repaints (the closed menu's image goes, "Compacting database..." shows) but takes no input
    // while the database is closed.
    CompactionHooks withRepaint = hooks;
    QElapsedTimer sinceRepaint;  // not started: the first call repaints at once
    withRepaint.whileWorking = [&sinceRepaint, inner = hooks.whileWorking] {
        if (inner) inner();
        if (sinceRepaint.isValid() && sinceRepaint.elapsed() < 15) return;
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sinceRepaint.start();
    };
    CloseRefusal refusal;
    window.installEventFilter(&refusal);
    // The file is replaced: the words read from it go first, and are read again from the compacted file.
    window.session().dropIndex();
    CompactDatabase(window.database(), window, window.dialogs(), CompactionFolder(window), withRepaint);
    window.removeEventFilter(&refusal);
    window.session().startReading();
    QApplication::restoreOverrideCursor();
    showDatabaseState(window);
}

void InstallMaintenanceCommands(Frm_Main& window) {
    static const char* const kInstalled = "lexivoMaintenanceCommands";
    if (window.property(kInstalled).toBool()) return;
    window.setProperty(kInstalled, true);
    QObject::connect(window.Mnu_File_Check, &QAction::triggered, &window, [&window] { CheckDatabaseCommand(window); });
    QObject::connect(window.Mnu_File_QuickRebuild, &QAction::triggered, &window,
                     [&window] { QuickRebuildCommand(window); });
    QObject::connect(window.Mnu_File_Rebuild, &QAction::triggered, &window,
                     [&window] { CompleteRebuildCommand(window); });
    QObject::connect(window.Mnu_File_Compact, &QAction::triggered, &window,
                     [&window] { CompactDatabaseCommand(window); });
}

}  // namespace lexivo
