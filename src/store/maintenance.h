#pragma once

// Keeping the letter keys sound: the database check, the quick re-build that fills missing keys and the
// complete rebuild that recomputes every key. The re-builds are long runs under the stop convention; a stop
// confirmed during them asks "Re-building is not complete, abort?" before it takes effect.

#include <QString>
#include <functional>

namespace lexivo {

class Connection;
class Dialogs;
class RunControl;

struct RebuildResult {
    qint64 rowsWritten = 0;  // rows whose keys were written
    bool aborted = false;    // the user confirmed the abort question
    QString error;           // the reason of a failure, empty otherwise
    bool ok() const { return error.isEmpty(); }
};

// Rows whose Sorted or Letters key is missing (null; an empty key is a key) or is not the key of the folded word.
qint64 RowsNeedingRebuild(Connection& db);

enum class CheckResult { Sound, Declined, Rebuilt, Failed };

// Check Database: counts the rows with a missing key; reports a sound database, or offers the quick re-build
// and runs it on Yes. showWindow is called before the offer, so that the question appears over the window.
CheckResult CheckDatabase(Connection& db, RunControl& run, Dialogs& dialogs,
                          const std::function<void()>& showWindow = {});

// Fills the missing keys only, in two passes (Sorted, then Letters from the stored Sorted), each pass one
// transaction. A present key is never changed.
RebuildResult QuickRebuild(Connection& db, RunControl& run, Dialogs& dialogs);

// Recomputes both keys of every row (a row whose keys are right already is not written). Rows are committed
// in batches, so an abort or a failure keeps the rows already rebuilt.
RebuildResult CompleteRebuild(Connection& db, RunControl& run, Dialogs& dialogs);

}  // namespace lexivo
