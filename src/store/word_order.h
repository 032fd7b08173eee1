#pragma once

// The word order of a loaded file. A word database written before the program had its own collation (its
// text columns compare with SQLite's NOCASE), or a table made by another program (no collation at all),
// answers case-insensitive questions wrongly for letters beyond A-Z; loading converts it once. Indexes built
// under another version of the order are rebuilt.

#include <QString>
#include <functional>

namespace lexivo {

class Connection;

// Whether a text field of Dictionary (Word, Sorted, Letters) compares with a collation other than the
// program's own.
bool NeedsWordOrderConversion(Connection& db);
// Whether the Word field compares in the program's word order and its index was built under the current
// version of it, so that a range of that order on the index holds every word a pattern finds.
bool UsesOwnWordOrder(Connection& db);

// Rewrites Dictionary with the program's collation on its text fields: every row with its values and its row
// id, in row id order; other indexes as they were; the current order version recorded. The caller holds a transaction
// around it (and builds the look-up indexes afterwards). progress gets the status-line text now and then. Throws Error.
void ConvertToOwnWordOrder(Connection& db, const std::function<void(const QString&)>& progress);

// Rebuilds the indexes that use the program's collation when they were built under another version of the
// order, and records the current version in the file. Throws Error.
void RefreshWordOrderVersion(Connection& db);

// Shown when a read-only file compares in another order and cannot be converted.
inline const QString kForeignOrderNotice = QStringLiteral(
    "This word database is read-only and was written with another word order: it is used as it is, and words "
    "that differ from a search only in the case of a letter beyond A-Z may be missed.");

}  // namespace lexivo
