#pragma once

#include <QString>
#include <functional>

#include "wordlists/word_filter.h"

namespace lexivo {

class Connection;
class Dialogs;
class RunControl;

struct ImportCounts {
    qint64 imported = 0;
    qint64 duplicates = 0;
    qint64 blanks = 0;
    qint64 tooLong = 0;  // words longer than a text field holds: not stored
};

struct ImportResult {
    ImportCounts counts;
    bool stopped = false;
    QString error;  // the reason the run failed; empty when it completed or was stopped
    bool ok() const { return error.isEmpty(); }
};

// "Import Complete. 120 words imported,3 duplicates skipped, 2, blanks skipped." with " N too long skipped."
// appended when words were too long.
QString ImportCompleteMessage(const ImportCounts& counts);

// Removes every word from Dictionary (the Import/Export window's Clear, once the user has agreed) and says
// "Database cleared.", or the reason in plain words when the database cannot be written. True when cleared.
bool ClearWords(Connection& db, Dialogs& dialogs);

// Fills Dictionary from the word list at filename: every item trimmed, filtered, looked up on the Word index and
// stored with its keys unless it is filtered out, already present, empty or too long. Without append the table
// is emptied first. The filter is read afresh whenever the window has had a chance to change it. Rows are
// written in batched transactions; every row stored before a stop or a failure stays stored. The run shows its
// progress through run and ends with the completion message, or with the reason of a failure, through dialogs.
ImportResult ImportWords(Connection& db, const QString& filename, bool append,
                         const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs);

}  // namespace lexivo
