#pragma once

// Routines that add a table, a field or an index only where it is missing; the creation of a new word
// database and the upgrade of an older one at load time both use them. They never drop or alter anything.

#include <QString>

namespace lexivo {

class Connection;
class Dialogs;

// Field-type codes of the word database format.
constexpr int kTextField = 10;
constexpr int kMemoField = 12;
constexpr int kLongField = 4;

// Thrown when the user cancels the "Unable to modify database design" question: the program ends at once,
// without its normal shutdown.
struct DesignAccessCancelled {};

bool TableExists(Connection& db, const QString& table);
bool FieldExists(Connection& db, const QString& table, const QString& field, Dialogs& dialogs);
bool IndexExists(Connection& db, const QString& table, const QString& index);
void EnsureField(Connection& db, const QString& table, const QString& field, int type, int size, Dialogs& dialogs);
void AddIndex(Connection& db, const QString& table, const QString& index, const QString& fieldList, Dialogs& dialogs);

}  // namespace lexivo
