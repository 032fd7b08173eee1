#include "cli/maintenance_commands.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include "cli/lexicon_commands.h"
#include "cli/session.h"
#include "common/settings_file.h"
#include "store/compaction.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/maintenance.h"
#include "store/statistics.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo::cli {

namespace {

int newDatabase(Session& s, const Invocation& inv) {
    const QString& path = inv.operand;
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        if (!inv.force) {
            s.fail(
                QStringLiteral("%1 exists already; give --force to replace it with an empty word database").arg(path));
            return kFailure;
        }
        QFile old(path);
        if (!old.remove()) {
            s.fail(QStringLiteral("%1 could not be deleted: %2").arg(path, old.errorString()));
            return kFailure;
        }
    }
    s.dialogs.silence(kEmptyDatabaseMessage);
    s.state.DatabasePath = path;
    // As File New: a stale backup that cannot be removed has been reported, and the new database is loaded all
    // the same; one that could not be created does not load.
    OpenOrCreateDatabase(s.db(), path, s.dialogs);
    // A file that could not be created or opened has been reported; loading it would only say it again.
    if (s.dialogs.failed()) return kFailure;
    if (!LoadDatabase(s.state, s.view, s.dialogs) || s.dialogs.failed()) return kFailure;
    CompleteNewDatabase(s.db(), s.dialogs);
    s.terminal.message(QStringLiteral("Created the empty word database %1.").arg(path));
    return s.status(kSuccess);
}

int importList(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!OpenDatabase(s, inv) || !Writable(s)) return kFailure;
    const WordFilter filter = inv.filter;
    const ImportResult result = ImportWords(
        s.db(), inv.operand, inv.append, [&filter] { return filter; }, s.run, s.dialogs);
    return s.status(result.ok() ? kSuccess : kFailure);
}

int exportList(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!OpenDatabase(s, inv)) return kFailure;
    const WordFilter filter = inv.filter;
    const ExportResult result = ExportWords(
        s.db(), inv.operand, inv.append, [&filter] { return filter; }, s.run, s.dialogs);
    return s.status(result.ok() ? kSuccess : kFailure);
}

int check(Session& s, const Invocation& inv) {
    s.dialogs.echoQuestions();
    if (!OpenDatabase(s, inv)) return kFailure;
    const CheckResult result = CheckDatabase(s.db(), s.run, s.dialogs);
    return s.status(result == CheckResult::Sound || result == CheckResult::Rebuilt ? kSuccess : kFailure);
}

int rebuild(Session& s, const Invocation& inv) {
    s.dialogs.echoQuestions();
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!OpenDatabase(s, inv)) return kFailure;
    const RebuildResult result =
        inv.quick ? QuickRebuild(s.db(), s.run, s.dialogs) : CompleteRebuild(s.db(), s.run, s.dialogs);
    if (!result.ok()) return kFailure;
    s.terminal.message(QStringLiteral("Re-build %1: keys written for %2 word(s).")
                           .arg(result.aborted ? QStringLiteral("stopped") : QStringLiteral("complete"))
                           .arg(result.rowsWritten));
    return s.status(kSuccess);
}

int compact(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!OpenDatabase(s, inv)) return kFailure;
    s.view.countWords = true;
    const QString workFolder = SettingsFile(QCoreApplication::applicationDirPath()).writableFolder();
    const CompactionResult result = CompactDatabase(s.state, s.view, s.dialogs, workFolder);
    if (!result.compacted || !result.loaded) return kFailure;
    s.terminal.message(s.view.status);
    return s.status(kSuccess);
}

int stats(Session& s, const Invocation& inv) {
    s.dialogs.silence(kEmptyDatabaseMessage);
    if (!OpenDatabase(s, inv)) return kFailure;
    Output out;
    out.line(StatisticsText(s.state));
    if (!out.finish()) {
        s.fail(QStringLiteral("the statistics could not be written: %1").arg(out.error()));
        return kFailure;
    }
    return s.status(kSuccess);
}

int keys(Session& s, const Invocation& inv) {
    const WordKeys keys = KeysOf(inv.operand);
    Output out;
    out.line(keys.sorted + QLatin1Char('\t') + keys.letters);
    if (!out.finish()) {
        s.fail(QStringLiteral("the keys could not be written: %1").arg(out.error()));
        return kFailure;
    }
    return kSuccess;
}

}  // namespace

int RunMaintenanceCommand(Session& s, const Invocation& inv) {
    switch (inv.command) {
        case Command::New:
            return newDatabase(s, inv);
        case Command::Import:
            return importList(s, inv);
        case Command::Export:
            return exportList(s, inv);
        case Command::Check:
            return check(s, inv);
        case Command::Rebuild:
            return rebuild(s, inv);
        case Command::Compact:
            return compact(s, inv);
        case Command::Stats:
            return stats(s, inv);
        case Command::Keys:
            return keys(s, inv);
        case Command::Define:
            return DefineWord(inv, s.terminal, s.dialogs);
        case Command::Levels:
            s.dialogs.silence(kEmptyDatabaseMessage);
            if (!OpenDatabase(s, inv)) return kFailure;
            return s.status(StoreLevels(s.db(), inv, s.terminal, s.dialogs, s.run));
        case Command::Search:
        case Command::None:
            break;
    }
    return kUsageError;
}

}  // namespace lexivo::cli
