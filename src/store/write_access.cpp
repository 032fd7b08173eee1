#include "store/write_access.h"

#include <QDir>
#include <QFileInfo>

#include "store/engine.h"

namespace lexivo {

namespace {

// A file from elsewhere may carry triggers on the word table (or make it a view) that write to other tables
// or undo the program's changes; the counts the program reports would then not be what the table holds.
bool hasStatementsOfItsOwn(const Connection& db) {
    try {
        // Reading the schema changes nothing of the connection that its owner could see.
        return const_cast<Connection&>(db).scalar(QStringLiteral(
                   "SELECT COUNT(*) FROM sqlite_schema WHERE (type='trigger' AND tbl_name='Dictionary' COLLATE "
                   "NOCASE) OR (type='view' AND name='Dictionary' COLLATE NOCASE)")) > 0;
    } catch (const Error&) {
        return false;  // the file cannot be read now: the change itself reports why
    }
}

}  // namespace

QString WriteProblem(const Connection& db) {
    if (!db.isOpen()) return QStringLiteral("No word database is open.");
    const QFileInfo file(db.path());
    if (db.isReadOnly() || (file.exists() && !file.isWritable()))
        return QStringLiteral("The word database %1 is read-only.").arg(QDir::toNativeSeparators(db.path()));
    // The engine writes its journal beside the file; without it no change can be made safely.
    const QFileInfo folder(file.absolutePath());
    if (!folder.isWritable())
        return QStringLiteral("The folder %1 cannot be written, so the word database in it cannot be changed.")
            .arg(QDir::toNativeSeparators(folder.filePath()));
    if (hasStatementsOfItsOwn(db))
        return QStringLiteral("The word table of %1 has triggers or is a view: a change would also run the file's "
                              "own statements, so the database is used for searching only.")
            .arg(QDir::toNativeSeparators(db.path()));
    return {};
}

QString FailureReason(const Error& error) {
    if (error.isBusy())
        return error.message() +
               QStringLiteral(" (another program is using the word database; close it there and try again)");
    return error.message();
}

}  // namespace lexivo
