#include "store/write_access.h"

#include <QDir>
#include <QFileInfo>

#include "store/engine.h"

namespace lexivo {

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
    return {};
}

QString FailureReason(const Error& error) {
    if (error.isBusy())
        return error.message() +
               QStringLiteral(" (another program is using the word database; close it there and try again)");
    return error.message();
}

}  // namespace lexivo
