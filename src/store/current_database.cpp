#include "store/current_database.h"

#include <QFile>

#include "common/dialogs.h"
#include "common/paths.h"
#include "store/collation.h"
#include "store/schema.h"
#include "store/word_order.h"

namespace lexivo {

namespace {

const QString kDictionary = QStringLiteral("Dictionary");

// A field declared with a type that cannot hold text (an integer field named Word, say) means the file is some
// other program's data, not a word database.
void checkFieldTypes(Connection& db) {
    for (const auto& column : db.columns(kDictionary)) {
        const QString name = column.name.toUpper();
        if (name != "WORD" && name != "SORTED" && name != "LETTERS") continue;
        const QString type = column.type.toUpper();
        const bool text = type.isEmpty() || type.contains("CHAR") || type.contains("CLOB") || type.contains("TEXT");
        if (!text)
            throw Error(QStringLiteral("Its table Dictionary has a field %1 of type %2, not text, so it is not a "
                                       "word database.")
                            .arg(column.name, column.type));
    }
}

// The anagram and synogram searches are index look-ups on the keys; a database made elsewhere may lack those
// indexes (or the Word index the look-ups of every writer need). A read-only file is searched without them.
void ensureLookupIndexes(Connection& db, Dialogs& dialogs) {
    if (db.isReadOnly()) return;
    const auto columns = db.columns(kDictionary);
    auto has = [&](const QString& field) {
        for (const auto& c : columns)
            if (c.name.compare(field, Qt::CaseInsensitive) == 0) return true;
        return false;
    };
    const QStringList existing = db.indexNames(kDictionary);
    for (const QString& field : {QStringLiteral("Word"), QStringLiteral("Sorted"), QStringLiteral("Letters")}) {
        if (has(field) && !existing.contains(field, Qt::CaseInsensitive))
            AddIndex(db, kDictionary, field, field, dialogs);
    }
}

// Another program that holds the database exclusively keeps its design from being read or changed: the user
// may close it there and retry, or cancel, which ends the program.
void awaitDesignAccess(Connection& db, Dialogs& dialogs) {
    for (;;) {
        try {
            // Reading the table list takes the lock that another program's exclusive hold denies.
            if (TableExists(db, kDictionary)) db.columns(kDictionary);
            return;
        } catch (const Error& e) {
            if (!e.isBusy()) throw;
            if (!dialogs.retryCancel(QStringLiteral(
                    "Unable to modify database design, close all access to the database and try again.")))
                throw DesignAccessCancelled{};
        }
    }
}

}  // namespace

qint64 WordCount(Connection& connection) {
    return connection.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"));
}

bool DatabaseIsEmpty(Connection& connection) {
    return connection.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM [Dictionary])")) == 0;
}

bool LoadDatabase(DatabaseState& state, DatabaseView& view, Dialogs& dialogs) {
    if (!state.DatabasePath.isEmpty() && FileExists(state.DatabasePath)) {
        try {
            state.CurrentDatabase = Connection::open(state.DatabasePath);
            Connection& db = state.CurrentDatabase;
            // SQLite reports a file that is not a database only at its first statement: ask a real question now.
            if (!TableExists(db, kDictionary))
                throw Error(QStringLiteral("It has no table Dictionary, so it is not a word database."));
            checkFieldTypes(db);
            const bool readOnly = db.isReadOnly();
            if (readOnly && (NeedsWordOrderConversion(db) || !UsesOwnWordOrder(db)))
                dialogs.notice(kForeignOrderNotice);
            {
                // All of the upgrade or none of it: a step that fails (an index on a collation that only another
                // program knows, a full disk during the conversion) leaves the file as it was.
                Transaction upgrade(db);
                awaitDesignAccess(db, dialogs);
                EnsureField(db, kDictionary, QStringLiteral("Letters"), kTextField, kMaxFieldLength);
                EnsureField(db, kDictionary, QStringLiteral("Sorted"), kTextField, kMaxFieldLength);
                if (!readOnly) {
                    const auto progress = [&](const QString& text) { view.showProgress(text); };
                    try {
                        if (NeedsWordOrderConversion(db)) {
                            ConvertToOwnWordOrder(db, progress);
                            view.showProgress(QStringLiteral("Building the indexes of the new word order..."));
                            ensureLookupIndexes(db, dialogs);
                        }
                        // Keys of an older kind are written anew; a file just converted has them already.
                        RefreshWordOrderVersion(db, progress);
                    } catch (const Error& e) {
                        throw Error(QStringLiteral("Its words could not be converted to the new word order, so the "
                                                   "file is left as it was: ") +
                                        e.message(),
                                    e.code());
                    }
                }
                ensureLookupIndexes(db, dialogs);
                upgrade.commit();
            }
            const bool counted = view.showsWordCount();
            const qint64 count = counted ? WordCount(db) : -1;
            if (counted ? count == 0 : DatabaseIsEmpty(db)) {
                view.showWindow();
                dialogs.notice(kEmptyDatabaseMessage);
            }
            if (counted) view.setStatus(QString::number(count) + QStringLiteral(" words."));
            view.showDatabaseLoaded(GetFileName(state.DatabasePath));
            return true;
        } catch (const Error& e) {
            state.CurrentDatabase.close();
            dialogs.failure(
                QStringLiteral("Unable to open the word database %1\n\n%2").arg(state.DatabasePath, e.message()));
        }
    }
    state.CurrentDatabase.close();
    state.DatabasePath.clear();
    view.showNoDatabase();
    return false;
}

bool OpenOrCreateDatabase(Connection& connection, const QString& path, Dialogs& dialogs) {
    try {
        if (!FileExists(path)) {
            // A new word database holds the table Dictionary with its ID field; loading adds the rest.
            Connection created = Connection::create(path);
            created.execute(QStringLiteral("CREATE TABLE [Dictionary] ([ID] INTEGER)"));
            created.close();
        }
    } catch (const Error& e) {
        dialogs.failure(QStringLiteral("Unable to create the word database %1\n\n%2").arg(path, e.message()));
        return false;
    }
    const QString backup = GetFolderPath(path) + QLatin1Char('/') + GetBaseName(path) + QStringLiteral(".bak");
    if (FileExists(backup) && !QFile::remove(backup)) {
        dialogs.notice(QStringLiteral("Error deleting backup file ") + backup);
        return false;
    }
    try {
        connection = Connection::open(path);
    } catch (const Error& e) {
        dialogs.failure(QStringLiteral("Unable to open the word database %1\n\n%2").arg(path, e.message()));
        return false;
    }
    return true;
}

void CompleteNewDatabase(Connection& connection, Dialogs& dialogs) {
    awaitDesignAccess(connection, dialogs);
    for (const QString& field : {QStringLiteral("Word"), QStringLiteral("Sorted"), QStringLiteral("Letters")})
        EnsureField(connection, kDictionary, field, kTextField, kMaxFieldLength);
    AddIndex(connection, kDictionary, QStringLiteral("Word"), QStringLiteral("Word"), dialogs);
}

}  // namespace lexivo
