#pragma once

#include <QString>

#include "store/engine.h"

namespace lexivo {

class Dialogs;

// What loading a database shows in the main window: its database-loaded and no-database states.
class DatabaseView {
public:
    virtual ~DatabaseView() = default;
    // The search panel enabled with fileName as its caption; Close, Import/Export, the maintenance commands
    // and the Edit menu enabled.
    virtual void showDatabaseLoaded(const QString& fileName) = 0;
    // The search panel disabled with the caption "(No Database Loaded)"; the same commands disabled.
    virtual void showNoDatabase() = 0;
    virtual void setStatus(const QString& text) = 0;
    // Makes the main window visible if it is not yet (before the empty-database message).
    virtual void showWindow() = 0;
    // The progress of a long step of loading (the conversion of a file to the word order) in the status line;
    // a window keeps itself painted meanwhile.
    virtual void showProgress(const QString& text) { setStatus(text); }
    // Whether loading shows the word count. Counting walks the whole table, a moment that a view without a
    // status line (a command-line search) need not wait for; emptiness is still told.
    virtual bool showsWordCount() const { return true; }
};

// Thrown when the user cancels the "Unable to modify database design" question: the program ends at once,
// without its normal shutdown.
struct DesignAccessCancelled {};

// The one word database the program has loaded. DatabasePath is the single loaded flag: empty means none.
struct DatabaseState {
    Connection CurrentDatabase;
    QString DatabasePath;

    bool loaded() const { return !DatabasePath.isEmpty() && CurrentDatabase.isOpen(); }
};

// Opens the database named by DatabasePath (when the path names an existing file), adds missing key fields and
// the look-up indexes, converts text fields in another collation to the program's word order (one transaction;
// a read-only file is used as it is, with a notice), shows the word count and puts the view into the database-loaded
// state. A missing file gives the no-database state silently; a file that is not a word database, or one that cannot be
// opened, is reported with the reason and gives the no-database state as well. Returns whether a database is loaded.
bool LoadDatabase(DatabaseState& state, DatabaseView& view, Dialogs& dialogs);

// Creates the word database file at path if it is missing, removes a stale backup beside it and opens it into
// connection. Returns false (with a message shown) when the file cannot be created or opened.
bool OpenOrCreateDatabase(Connection& connection, const QString& path, Dialogs& dialogs);

// Completes a newly created database: the Word, Sorted and Letters fields and the Word index.
void CompleteNewDatabase(Connection& connection, Dialogs& dialogs);

// Adds the nullable field Level (how common each word is) where the table lacks it. Throws Error.
void EnsureLevelField(Connection& db);

// The word count of the loaded database (a count of the rows of Dictionary).
qint64 WordCount(Connection& connection);
// Whether Dictionary holds no row: one look at the table, however many words it holds.
bool DatabaseIsEmpty(Connection& connection);

// The message for a database whose table holds no word.
inline const QString kEmptyDatabaseMessage = QStringLiteral(
    "The database is currently empty, please use the import utility to import from a word list text file.");

}  // namespace lexivo
