#include "store/maintenance.h"

#include <QStringList>
#include <optional>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "store/engine.h"
#include "store/keys.h"
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

// The per-row part of a re-build, called back by the statements that write the keys: the row counter, the
// progress and the current word, and the stop question. Once the user has confirmed the abort, no further row
// is taken.
class RebuildSteps {
public:
    RebuildSteps(RunControl& run, Dialogs& dialogs) : run_(run), dialogs_(dialogs) {}

    // Counts the row of word and shows it; false when the row is not to be written because the run is aborted.
    bool take(const QString& word) {
        if (aborted_) return false;
        ++counter_;
        word_ = word;
        run_.step(counter_, word_);
        aborted_ = abortConfirmed(run_, dialogs_);
        return !aborted_;
    }
    bool aborted() const { return aborted_; }
    void flush() { run_.flush(counter_, word_); }
    qint64 counter() const { return counter_; }

private:
    RunControl& run_;
    Dialogs& dialogs_;
    qint64 counter_ = 0;
    QString word_;
    bool aborted_ = false;
};

// The rows of the table in runs of consecutive row ids, in table order. Each run is written by one statement:
// a batch can commit between runs, and once the user stops the rest of a run costs next to nothing.
class RowIdRanges {
    inline static const QString kOutOfOrder =
        QStringLiteral("the rows of the table are out of order (the file is damaged)");

public:
    explicit RowIdRanges(Connection& db) : db_(db) {}

    // The next range holding at most rows rows, as a condition on the row id; nullopt after the last row.
    std::optional<QString> next(qint64 rows) {
        const std::optional<qint64> first = rowIdOf(
            started_ ? QStringLiteral("SELECT rowid FROM [Dictionary] WHERE rowid>%1 ORDER BY rowid LIMIT 1").arg(last_)
                     : QStringLiteral("SELECT rowid FROM [Dictionary] ORDER BY rowid LIMIT 1"));
        if (!first) return std::nullopt;
        // Each range starts after the last: a damaged file could otherwise hand out the same rows forever.
        if (started_ && *first <= last_) throw Error(kOutOfOrder);
        started_ = true;
        const std::optional<qint64> end =
            rowIdOf(QStringLiteral("SELECT rowid FROM [Dictionary] WHERE rowid>=%1 ORDER BY rowid LIMIT 1 OFFSET %2")
                        .arg(*first)
                        .arg(rows - 1));
        last_ = end ? *end : rowIdOf(QStringLiteral("SELECT MAX(rowid) FROM [Dictionary]")).value_or(*first);
        if (last_ < *first) throw Error(kOutOfOrder);
        return QStringLiteral("rowid BETWEEN %1 AND %2").arg(*first).arg(last_);
    }

private:
    std::optional<qint64> rowIdOf(const QString& query) {
        Cursor cursor(db_, query);
        if (cursor.eof() || !cursor.value(0)) return std::nullopt;
        return cursor.value(0)->toLongLong();
    }

    Connection& db_;
    bool started_ = false;
    qint64 last_ = 0;
};

// Rows written by one statement of a re-build.
constexpr qint64 kRangeRows = 16384;

// The rows whose key is missing or not the one its word gives (written before the keys were made of the folded
// word, or by another program): compared exactly, not in the word order, which holds "llaB" equal to "llab".
// Letters is compared with the letters of the stored Sorted key, so that the second pass makes it right.
const QString& needsKey(const QString& key) {
    static const QString sorted = QStringLiteral(
        "[Sorted] IS NULL OR [Sorted] IS NOT SortString([Word]) COLLATE BINARY");
    static const QString letters = QStringLiteral(
        "[Letters] IS NULL OR [Letters] IS NOT UniqueChars([Sorted]) COLLATE BINARY");
    return key == kSorted ? sorted : letters;
}

// One pass of the quick re-build, in one transaction: Sorted from Word, or Letters from the stored Sorted.
// Returns whether the user aborted it.
bool quickPass(Connection& db, RunControl& run, Dialogs& dialogs, bool lettersPass, qint64& written) {
    Transaction transaction(db);
    const QString& key = lettersPass ? kLetters : kSorted;
    const QString& wanted = needsKey(key);
    const qint64 count = db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary] WHERE ") + wanted);
    RebuildSteps steps(run, dialogs);
    if (count > 0) {
        run.setProgressMaximum(count);
        std::optional<SuspendedIndexes> index;
        if (worthRebuildingIndex(count, db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"))))
            index.emplace(db, QStringList{key});
        // Only a row of the selection (its key null) is counted, shown and written: the call that counts it
        // stands behind the test in a CASE, since SQLite may test the terms of a WHERE in any order.
        RowCallback take(db, QStringLiteral("RebuildRow"), 1, [&steps](const RowCallback::Arguments& word) {
            return steps.take(word[0].value_or(QString()));
        });
        auto selected = [&wanted](const QString& alsoNull) {
            return QStringLiteral(" AND CASE WHEN (%1)%2 THEN RebuildRow([Word]) ELSE 0 END").arg(wanted, alsoNull);
        };
        RowIdRanges ranges(db);
        while (!steps.aborted()) {
            const std::optional<QString> range = ranges.next(kRangeRows);
            if (!range) break;
            if (!lettersPass) {
                take.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]=SortString([Word]) WHERE ") + *range +
                             selected(QString()));
                written += db.changes();
                continue;
            }
            // Letters is derived from the stored key, which the first pass made right. A row stored without either
            // key since the first pass (by another program) gets both.
            take.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]=SortString([Word]), "
                                        "[Letters]=UniqueChars(SortString([Word])) WHERE ") +
                         *range + selected(QStringLiteral(" AND [Sorted] IS NULL")));
            written += db.changes();
            take.execute(QStringLiteral("UPDATE [Dictionary] SET [Letters]=UniqueChars([Sorted]) WHERE ") + *range +
                         selected(QString()));
            written += db.changes();
        }
        steps.flush();
        if (index) index->restore();
    }
    // An aborted pass commits the rows done so far: the user asked to stop, not to undo, and every key
    // written is sound.
    transaction.commit();
    return steps.aborted();
}

}  // namespace

qint64 RowsNeedingRebuild(Connection& db) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary] WHERE ") + needsKey(kSorted) +
                     QStringLiteral(" OR ") + needsKey(kLetters));
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
        result.aborted = quickPass(db, run, dialogs, false, result.rowsWritten);
        if (!result.aborted) {
            run.setStatus(QStringLiteral("Rebuilding index (2/2)..."));
            result.aborted = quickPass(db, run, dialogs, true, result.rowsWritten);
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
        const qint64 count = db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"));
        if (count > 0) {
            run.setProgressMaximum(count);
            BatchedTransaction batch(db);
            std::optional<SuspendedIndexes> indexes;
            RebuildSteps steps(run, dialogs);
            // A row whose keys are right already would be written with the same values: it is left alone.
            RowCallback keysWrong(db, QStringLiteral("KeysWrong"), 3, [&steps](const RowCallback::Arguments& row) {
                const QString word = row[0].value_or(QString());
                if (!steps.take(word)) return false;
                const WordKeys keys = KeysOf(word);
                return row[1] != keys.sorted || row[2] != keys.letters;
            });
            RowIdRanges ranges(db);
            // How many rows need writing shows only on the way, so the first range is short: once a good share
            // of the rows seen so far needed writing, the rest is written without the key indexes.
            qint64 rangeRows = 1000;
            while (!steps.aborted()) {
                const std::optional<QString> range = ranges.next(std::min<qint64>(rangeRows, batch.rowsPerBatch()));
                if (!range) break;
                rangeRows = kRangeRows;
                keysWrong.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]=SortString([Word]), "
                                                 "[Letters]=UniqueChars(SortString([Word])) WHERE ") +
                                  *range + QStringLiteral(" AND KeysWrong([Word],[Sorted],[Letters])"));
                const qint64 written = db.changes();
                result.rowsWritten += written;
                if (!indexes && steps.counter() > 0 &&
                    worthRebuildingIndex(result.rowsWritten * count / steps.counter(), count))
                    indexes.emplace(db, QStringList{kSorted, kLetters});
                batch.rowsWritten(written);
            }
            result.aborted = steps.aborted();
            steps.flush();
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
