#pragma once

// The word order of a loaded file. A word database written before the program had its own collation (its
// text columns compare with SQLite's NOCASE), or a table made by another program (no collation at all),
// answers case-insensitive questions wrongly for letters beyond A-Z; loading converts it once. Indexes built
// under another version of the order are rebuilt, and letter keys written before the keys were made of the
// case-folded word are written again, in the same upgrade.

#include <QString>
#include <functional>

namespace lexivo {

class Connection;

// The file's user_version says which word order its indexes were built under and which letter keys its rows
// hold: 0 (never recorded, or another program's file) nothing known; 1 the order of kCollationVersion 1 with the
// keys of the word as written; 2 that order with the keys of the case-folded word, as KeysOf makes them.
inline constexpr int kFileVersion = 2;

// Whether a text field of Dictionary (Word, Sorted, Letters) compares with a collation other than the
// program's own.
bool NeedsWordOrderConversion(Connection& db);
// Whether the Word field compares in the program's word order and its index was built under the current
// version of it, so that a range of that order on the index holds every word a pattern finds.
bool UsesOwnWordOrder(Connection& db);

// Whether the file's rows hold the keys of the case-folded word, so that the letter searches can look them up.
// A read-only file of an older version cannot have them written: its searches make the keys from each word.
bool StoredKeysCurrent(Connection& db);

// Rewrites Dictionary with the program's collation on its text fields: every row with its values and its row
// id, in row id order, the keys made anew from the word; other indexes as they were; kFileVersion recorded. The caller holds a transaction
// around it (and builds the look-up indexes afterwards). progress gets the status-line text now and then. Throws Error.
void ConvertToOwnWordOrder(Connection& db, const std::function<void(const QString&)>& progress);

// Rebuilds the indexes that use the program's collation when they were built under another version of the
// order, writes the keys of every row whose keys are not those of its word when the file is older than
// kFileVersion, and records kFileVersion in the file. progress as above. Throws Error.
void RefreshWordOrderVersion(Connection& db, const std::function<void(const QString&)>& progress);

// Shown when a read-only file compares in another order and cannot be converted.
inline const QString kForeignOrderNotice = QStringLiteral(
    "This word database is read-only and was written with another word order: it is used as it is, and words "
    "that differ from a search only in the case of a letter beyond A-Z may be missed.");

}  // namespace lexivo
