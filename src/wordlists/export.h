#pragma once

#include <QString>
#include <QStringList>
#include <functional>

#include "wordlists/word_filter.h"

namespace lexivo {

class Connection;
class Dialogs;
class RunControl;

struct ExportResult {
    qint64 written = 0;  // lines written
    bool stopped = false;
    QString error;  // the reason the run failed; empty when it completed or was stopped
    bool ok() const { return error.isEmpty(); }
};

// The query of the whole-database export. The length limits go in as the numbers the boxes read as, written as
// plain decimals, so that no text typed into a box ever reaches the query.
QString ExportQueryText(const WordFilter& filter);

// Writes every word of Dictionary in the order of the Word field, one per line, to filename: afresh, or after
// what the file holds when append is set. The length limits are read once, at the start, and applied by the
// query; the character filters are read afresh whenever the window has had a chance to change them.
//
// A stop keeps the lines written so far. A file that cannot be created or written is reported with the reason
// and left as it was; only a run that completed or was stopped ends with "Export Complete.".
ExportResult ExportWords(Connection& db, const QString& filename, bool append,
                         const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs);

// The same for the given words (the results of the last search), in their order, with the whole word filter.
ExportResult ExportSelection(const QStringList& words, const QString& filename, bool append,
                             const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs);

}  // namespace lexivo
