// The main window's start-up and shutdown, and the File menu's database commands.

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "common/dialogs.h"
#include "common/paths.h"
#include "shell/frm_main.h"
#include "shell/long_run.h"
#include "shell/search_panel.h"
#include "store/error.h"
#include "store/schema.h"

namespace lexivo {

namespace {
const QString kDatabasePreset = QStringLiteral("*.mdb");
const QString kDatabaseSuffix = QStringLiteral("mdb");
}  // namespace

void Frm_Main::startUp(const StartUpFiles& start) {
    // The stop flag is already set: the run control starts idle.
    Fme_Search->fillLengthLists();
    Chk_Accents->setChecked(settings_.readIgnoreAccents());
    if (!start.file.isEmpty()) {
        openDatabaseFile(start.file);
        return;
    }
    state_.DatabasePath = settings_.read();
    if (!start.fallback.isEmpty() && (state_.DatabasePath.isEmpty() || !FileExists(state_.DatabasePath)))
        state_.DatabasePath = start.fallback;
    loadDatabase();
}

void Frm_Main::shutDown() {
    // Closing must complete even when the setting cannot be kept.
    if (!settings_.write(state_.DatabasePath, Chk_Accents->isChecked()))
        qWarning("Lexivo: the settings file could not be written (%s)", qPrintable(settings_.programFile()));
    if (!state_.DatabasePath.isEmpty()) session_.close();
}

bool Frm_Main::loadDatabase() {
    try {
        if (LoadDatabase(state_, *this, dialogs_)) session_.startReading();
        return true;
    } catch (const DesignAccessCancelled&) {
        abandon();
        return false;
    } catch (const Error& e) {
        dialogs_.failure(e.message());
        forgetDatabase();
        return true;
    }
}

void Frm_Main::forgetDatabase() {
    session_.close();
    state_.DatabasePath.clear();
    showNoDatabase();
}

void Frm_Main::abandon() {
    abandoned_ = true;
    session_.close();
    // Before the event loop runs, exit() does nothing and the caller looks at abandoned().
    QCoreApplication::exit(1);
    close();
}

void Frm_Main::newDatabase() {
    if (runActive()) return;
    const QString name = dialogs_.saveFileName(kDatabasePreset, kDatabaseSuffix);
    if (name.isEmpty()) return;
    const bool overwrite = FileExists(name);
    if (overwrite &&
        !dialogs_.question(QStringLiteral("File exists, overwrite?"), kProgramTitle, Dialogs::DefaultButton::No))
        return;

    if (!state_.DatabasePath.isEmpty()) session_.close();
    if (overwrite) {
        QFile old(name);
        if (!old.remove()) {
            dialogs_.failure(QStringLiteral("Error deleting file %1: %2").arg(name, old.errorString()));
            // The command ends as if it had not been given: the database loaded before stays loaded.
            loadDatabase();
            return;
        }
    }
    state_.DatabasePath = name;
    try {
        // Loading follows whatever happened: a stale backup that cannot be removed has been reported and the
        // new database is loaded all the same, and a file that could not be created gives the no-database
        // state.
        OpenOrCreateDatabase(state_.CurrentDatabase, state_.DatabasePath, dialogs_);
        if (!loadDatabase() || state_.DatabasePath.isEmpty()) return;
        // The words are read once the design is complete: a reading begun at the load would hold the file
        // that the design change must write.
        session_.dropIndex();
        CompleteNewDatabase(state_.CurrentDatabase, dialogs_);
        session_.startReading();
    } catch (const DesignAccessCancelled&) {
        abandon();
    } catch (const Error& e) {
        dialogs_.failure(e.message());
        forgetDatabase();
    }
}

void Frm_Main::openDatabase() {
    if (runActive()) return;
    const QString name = dialogs_.openFileName(kDatabasePreset, kDatabaseSuffix);
    if (name.isEmpty()) return;
    openDatabaseFile(name);
}

void Frm_Main::openDatabaseFile(const QString& name) {
    if (!state_.DatabasePath.isEmpty()) session_.close();
    state_.DatabasePath = name;
    // Loading passes over a missing file in silence (a database deleted since the last run); a file the user
    // names is worth a word.
    if (!FileExists(name))
        dialogs_.failure(QStringLiteral("Unable to open the word database %1\n\n%2")
                             .arg(name, QFileInfo(name).isDir() ? QStringLiteral("It is a folder.")
                                                                : QStringLiteral("There is no such file.")));
    loadDatabase();
}

void Frm_Main::closeDatabase() {
    if (runActive() || state_.DatabasePath.isEmpty()) return;
    session_.close();
    state_.DatabasePath.clear();
    loadDatabase();
}

}  // namespace lexivo
