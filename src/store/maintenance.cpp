#include "store/maintenance.h"

#include <QStringList>
#include <optional>

#include "store/dialogs.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/run_control.h"
#include "store/schema.h"
#include "store/write_access.h"

namespace lexivo {

namespace {

const QString kDictionary = QStringLiteral("Dictionary");
const QString kSorted = QStringLiteral("Sorted");
const QString kLetters = QStringLiteral("Letters");

const QString kAbortQuestion = QStringLiteral("Re-building is not complete, abort?");
const QString kSoundMessage = QStringLiteral(
    "The database appears to be ok but if you are experiencing problems you could try doing a complete index "
    "re-build.");
const QString kRebuildQuestion = QStringLiteral(
    "The database index needs re-building, certain functions may not work correctly until this has been done. In "
    "some cases a complete re-build may be required. Would you like to perform a quick re-build now?");

QString rebuildFailed(const QString& reason) {
    return QStringLiteral("The index could not be re-built: %1").arg(reason);
}

// Asked on every row while the stop flag is set: after a No the flag stays set, so the question comes again
// before the next row until the user answers Yes or the rows run out.
bool abortConfirmed(RunControl& run, Dialogs& dialogs) {
    return run.stopFlag() && dialogs.question(kAbortQuestion);
}

qint64 rowId(const Cursor& rows) {
    return rows.value(0).value_or(QString()).toLongLong();
}
QString wordOf(const Cursor& rows) {
    return rows.value(1).value_or(QString());
}

// Writing a key into most rows is far cheaper without that key's index: each write would move an index entry
// to a random place, where one sort at the end builds the whole index (and cures an index that had gone
// wrong). Inside a transaction the drop is undone together with the rows when the transaction rolls back; a
// run that dies between batches leaves the index missing, and loading the database adds it again.
class SuspendedIndexes {
public:
    SuspendedIndexes(Connection& db, const QStringList& fields) : db_(db) {
        for (const QString& field : fields) {
            if (!IndexExists(db_, kDictionary, field)) continue;
            db_.execute(QStringLiteral("DROP INDEX [%1]").arg(field));
            dropped_ << field;
        }
    }
    ~SuspendedIndexes() {
        try {
            restore();
        } catch (const Error&) {
        }
    }
    SuspendedIndexes(const SuspendedIndexes&) = delete;
    SuspendedIndexes& operator=(const SuspendedIndexes&) = delete;

    void restore() {
        while (!dropped_.isEmpty()) {
            db_.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS [%1] ON [Dictionary] ([%1])").arg(dropped_.first()));
            dropped_.removeFirst();
        }
    }

private:
    Connection& db_;
    QStringList dropped_;
};

// Below a quarter of the table, updating the index in place is cheaper than building it again.
bool worthRebuildingIndex(qint64 rowsToWrite, qint64 tableRows) {
    return rowsToWrite >= 1000 && rowsToWrite * 4 >= tableRows;
}

// A database that cannot be written is refused before the run starts, so that nothing is half-written.
bool refusedBeforeStart(Connection& db, Dialogs& dialogs, RebuildResult& result) {
    result.error = WriteProblem(db);
    if (result.error.isEmpty()) return false;
    dialogs.failure(rebuildFailed(result.error));
    return true;
}

enum class PassEnd { Completed, Aborted };

// One pass of the quick re-build, in one transaction: Sorted from Word, or Letters from the stored Sorted.
PassEnd quickPass(Connection& db, WordTable& table, RunControl& run, Dialogs& dialogs, bool lettersPass,
                  qint64& written) {
    Transaction transaction(db);
    // All rows are read before the first write: the selection's own condition changes under the writes.
    Cursor rows(db, lettersPass ? QStringLiteral("SELECT rowid, [Word], [Sorted] FROM [Dictionary] WHERE [Letters] "
                                                 "IS NULL")
                                : QStringLiteral("SELECT rowid, [Word] FROM [Dictionary] WHERE [Sorted] IS NULL"));
    rows.moveLast();
    const qint64 count = rows.recordCount();
    PassEnd end = PassEnd::Completed;
    if (count > 0) {
        run.setProgressMaximum(count);
        std::optional<SuspendedIndexes> index;
        if (worthRebuildingIndex(count, table.recordCount()))
            index.emplace(db, QStringList{lettersPass ? kLetters : kSorted});
        qint64 counter = 0;
        QString word;
        for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
            ++counter;
            word = wordOf(rows);
            run.step(counter, word);
            if (abortConfirmed(run, dialogs)) {
                end = PassEnd::Aborted;
                break;
            }
            if (!lettersPass) {
                table.updateKeys(rowId(rows), SortString(word), std::nullopt);
            } else if (const auto& sorted = rows.value(2)) {
                // Derived from the stored key even when it is stale: only the complete rebuild corrects a key.
                table.updateKeys(rowId(rows), std::nullopt, UniqueChars(*sorted));
            } else {
                // A row stored without keys since the first pass (by another program) gets both.
                const WordKeys keys = KeysOf(word);
                table.updateKeys(rowId(rows), keys.sorted, keys.letters);
            }
            ++written;
        }
        run.flush(counter, word);
        if (index) index->restore();
    }
    rows.close();
    // An aborted pass commits the rows done so far: the user asked to stop, not to undo, and every key
    // written is sound.
    transaction.commit();
    return end;
}

}  // namespace

qint64 RowsNeedingRebuild(Connection& db) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary] WHERE [Letters] IS NULL OR [Sorted] IS NULL"));
}

CheckResult CheckDatabase(Connection& db, RunControl& run, Dialogs& dialogs, const std::function<void()>& showWindow) {
    run.setStatus(QStringLiteral("Checking database..."));
    CheckResult result = CheckResult::Failed;
    try {
        if (RowsNeedingRebuild(db) == 0) {
            dialogs.notice(kSoundMessage);
            result = CheckResult::Sound;
        } else {
            if (showWindow) showWindow();
            if (!dialogs.question(kRebuildQuestion))
                result = CheckResult::Declined;
            else
                result = QuickRebuild(db, run, dialogs).ok() ? CheckResult::Rebuilt : CheckResult::Failed;
        }
    } catch (const Error& e) {
        dialogs.failure(QStringLiteral("The database could not be checked: %1").arg(FailureReason(e)));
    }
    run.setStatus(QString());
    return result;
}

RebuildResult QuickRebuild(Connection& db, RunControl& run, Dialogs& dialogs) {
    RebuildResult result;
    if (refusedBeforeStart(db, dialogs, result)) return result;
    run.beginRun(QStringLiteral("Rebuilding index (1/2)..."));
    try {
        WordTable table(db);
        if (quickPass(db, table, run, dialogs, false, result.rowsWritten) == PassEnd::Aborted) {
            result.aborted = true;
        } else {
            run.setStatus(QStringLiteral("Rebuilding index (2/2)..."));
            result.aborted = quickPass(db, table, run, dialogs, true, result.rowsWritten) == PassEnd::Aborted;
        }
    } catch (const Error& e) {
        // The failed pass is rolled back whole; a pass committed before it stays.
        result.error = FailureReason(e);
    }
    run.setProgressValue(0);
    run.setStatus(QString());
    run.endRun();
    if (!result.ok()) dialogs.failure(rebuildFailed(result.error));
    return result;
}

RebuildResult CompleteRebuild(Connection& db, RunControl& run, Dialogs& dialogs) {
    RebuildResult result;
    if (refusedBeforeStart(db, dialogs, result)) return result;
    run.beginRun(QStringLiteral("Rebuilding index..."));
    try {
        WordTable table(db);
        // Table order; all rows are read first so that no write happens under an open selection.
        Cursor rows(db, QStringLiteral("SELECT rowid, [Word], [Sorted], [Letters] FROM [Dictionary]"));
        rows.moveLast();
        const qint64 count = rows.recordCount();
        if (count > 0) {
            run.setProgressMaximum(count);
            BatchedTransaction batch(db);
            std::optional<SuspendedIndexes> indexes;
            qint64 counter = 0;
            QString word;
            for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
                ++counter;
                word = wordOf(rows);
                run.step(counter, word);
                if (abortConfirmed(run, dialogs)) {
                    result.aborted = true;
                    break;
                }
                const WordKeys keys = KeysOf(word);
                // A row whose keys are right already would be written with the same values: it is left alone.
                if (rows.value(2) != keys.sorted || rows.value(3) != keys.letters) {
                    // How many rows will need writing shows only on the way: once a good share of those seen
                    // so far does, the rest is written without the key indexes.
                    if (!indexes && counter >= 1000 &&
                        worthRebuildingIndex(result.rowsWritten * count / counter, count))
                        indexes.emplace(db, QStringList{kSorted, kLetters});
                    table.updateKeys(rowId(rows), keys.sorted, keys.letters);
                    batch.rowWritten();
                    ++result.rowsWritten;
                }
            }
            run.flush(counter, word);
            if (indexes) indexes->restore();
            batch.finish();
        }
    } catch (const Error& e) {
        // Every batch committed before the failure stays; so does the part of this one that was written.
        result.error = FailureReason(e);
    }
    run.setStatus(QString());
    run.endRun();
    if (!result.ok()) dialogs.failure(rebuildFailed(result.error));
    return result;
}

}  // namespace lexivo
