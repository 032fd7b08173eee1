#pragma once

// The Edit menu's changes to the word list: adding the text of the search box as a word, and deleting words
// shown in the results list. The list itself is the window's business; these take and report words.

#include <QString>
#include <QStringList>

namespace lexivo {

class Connection;
class Dialogs;

enum class AddResult { NothingToAdd, TooLong, ControlCharacters, Declined, AlreadyPresent, Added, Failed };

// The refusal of a word longer than the Word field holds ("Word too long! A word can have at most 255
// characters; this one has 300."); the empty text for a word that fits. Every adder asks it before its question.
QString TooLongProblem(const QString& word);

// Stores word exactly as given, with the keys of the word as given: the one way a single word is added (the
// Edit menu, find-and-add). A word the field cannot hold, or a database that cannot be written, is refused
// with the reason. Throws Error.
void StoreWord(Connection& db, const QString& word);

// Deletes every row whose Word equals word under the engine's comparison (case aside, duplicates too), as
// WordTable::deleteWord does for the Edit menu's many words: the one way a word is deleted. Returns how many
// rows went. Throws Error.
qint64 DeleteWord(Connection& db, const QString& word);

// Empties the table: the import that replaces the word list, and the Import/Export window's Clear. Throws Error.
void RemoveAllWords(Connection& db);

// Stores text, exactly as given, with its keys after asking "Add 'text' to database?"; a word already present
// (compared without regard to case) is reported and not added again. Every outcome is shown through dialogs.
AddResult AddWord(Connection& db, const QString& text, Dialogs& dialogs);

// The questions of the two delete commands.
QString DeleteCurrentQuestion(const QString& word);  // "Delete cat ?"
QString DeleteSelectedQuestion(qsizetype count);     // "Delete 3 selected words?"

struct DeleteResult {
    qint64 rowsRemoved = 0;
    QString error;  // the reason of a failure (then nothing was deleted), empty otherwise
    bool ok() const { return error.isEmpty(); }
};

// Deletes every row matching each of the words, all or none of them; a failure is shown through dialogs.
DeleteResult DeleteWords(Connection& db, const QStringList& words, Dialogs& dialogs);

}  // namespace lexivo
