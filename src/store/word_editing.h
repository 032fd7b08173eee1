#pragma once

// The Edit menu's changes to the word list: adding the text of the search box as a word, and deleting words
// shown in the results list. The list itself is the window's business; these take and report words.

#include <QString>
#include <QStringList>

namespace lexivo {

class Connection;
class Dialogs;

enum class AddResult { NothingToAdd, TooLong, ControlCharacters, Declined, AlreadyPresent, Added, Failed };

// Stores text, exactly as given, with its keys after asking "Add 'text' to database?"; a word already present
// (compared without regard to case) is reported and not added again. Every outcome is shown through dialogs.
AddResult AddWord(Connection& db, const QString& text, Dialogs& dialogs);

// The questions of the two delete commands.
QString DeleteCurrentQuestion(const QString& word);  // "Delete cat ?"
QString DeleteSelectedQuestion(qsizetype count);     // "Delete 3 selected words?"

// The deletion statement for one word: every row whose Word equals it under the engine's comparison.
QString DeleteStatement(const QString& word);

struct DeleteResult {
    qint64 rowsRemoved = 0;
    QString error;  // the reason of a failure (then nothing was deleted), empty otherwise
    bool ok() const { return error.isEmpty(); }
};

// Deletes every row matching each of the words, all or none of them; a failure is shown through dialogs.
DeleteResult DeleteWords(Connection& db, const QStringList& words, Dialogs& dialogs);

}  // namespace lexivo
