#pragma once

// Routines that add a table, a field or an index only where it is missing; the creation of a new word
// database and the upgrade of an older one at load time both use them. They never drop or alter anything;
// only SuspendedIndexes takes indexes away, and always puts them back. Another program holding the database
// makes them fail with the engine's reason; what to ask the user then is the caller's business.

#include <QString>
#include <QStringList>

namespace lexivo {

class Connection;
class Dialogs;

// The nullable field that holds how common a word is (its SCOWL size level, see lexicon/word_levels.h).
inline const QString kLevelField = QStringLiteral("Level");

// Field-type codes of the word database format.
constexpr int kTextField = 10;
constexpr int kMemoField = 12;
constexpr int kLongField = 4;

bool TableExists(Connection& db, const QString& table);
bool FieldExists(Connection& db, const QString& table, const QString& field);
bool IndexExists(Connection& db, const QString& table, const QString& index);
void EnsureField(Connection& db, const QString& table, const QString& field, int type, int size);
void AddIndex(Connection& db, const QString& table, const QString& index, const QString& fieldList, Dialogs& dialogs);

// Indexes of Dictionary (each named after its field) taken away while most rows are written, and built again
// afterwards. Writing most rows is far cheaper without an index: each write would move an entry to a random
// place, where one sort at the end builds the whole index (and cures an index that had gone wrong). Inside a
// transaction a drop is undone together with the rows when it rolls back; a run that dies between batches
// leaves the index missing, and loading the database adds it again.
class SuspendedIndexes {
public:
    // Drops those of the indexes that exist. Throws Error.
    SuspendedIndexes(Connection& db, const QStringList& fields);
    ~SuspendedIndexes();  // builds what is still missing; never throws
    SuspendedIndexes(const SuspendedIndexes&) = delete;
    SuspendedIndexes& operator=(const SuspendedIndexes&) = delete;

    bool suspended(const QString& field) const { return dropped_.contains(field); }
    // Builds the dropped indexes again. Throws Error.
    void restore();

private:
    Connection& db_;
    QStringList dropped_;
};

}  // namespace lexivo
