#include "store/transaction.h"

#include <QDateTime>

#include "store/error.h"

namespace lexivo {

// ---- Transactions ----

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.beginTransaction();
}
Transaction::~Transaction() {
    if (open_) {
        try {
            connection_.rollback();
        } catch (const Error&) {
        }
    }
}
void Transaction::commit() {
    connection_.commit();
    open_ = false;
}

namespace {
int defaultBatchRows = 50000;
int defaultBatchMilliseconds = 2000;
}  // namespace

void BatchedTransaction::setDefaultLimits(int rowsPerBatch, int millisecondsPerBatch) {
    defaultBatchRows = rowsPerBatch > 0 ? rowsPerBatch : 50000;
    defaultBatchMilliseconds = millisecondsPerBatch > 0 ? millisecondsPerBatch : 2000;
}

BatchedTransaction::BatchedTransaction(Connection& connection, int rowsPerBatch, int millisecondsPerBatch)
    : connection_(connection),
      rowsPerBatch_(rowsPerBatch > 0 ? rowsPerBatch : defaultBatchRows),
      millisecondsPerBatch_(millisecondsPerBatch > 0 ? millisecondsPerBatch : defaultBatchMilliseconds) {
    connection_.beginTransaction();
    open_ = true;
    batchStart_ = QDateTime::currentMSecsSinceEpoch();
}

BatchedTransaction::~BatchedTransaction() {
    try {
        finish();
    } catch (const Error&) {
        try {
            connection_.rollback();
        } catch (const Error&) {
        }
    }
}

void BatchedTransaction::rowWritten() {
    ++pending_;
    if (pending_ < rowsPerBatch_ &&
        (pending_ % 256 != 0 || QDateTime::currentMSecsSinceEpoch() - batchStart_ < millisecondsPerBatch_))
        return;
    commitBatch();
    connection_.beginTransaction();
    open_ = true;
    batchStart_ = QDateTime::currentMSecsSinceEpoch();
}

void BatchedTransaction::rowsWritten(qint64 count) {
    pending_ += count;
    if (pending_ < rowsPerBatch_ && QDateTime::currentMSecsSinceEpoch() - batchStart_ < millisecondsPerBatch_) return;
    commitBatch();
    connection_.beginTransaction();
    open_ = true;
    batchStart_ = QDateTime::currentMSecsSinceEpoch();
}

void BatchedTransaction::finish() {
    if (open_) commitBatch();
}

// A commit can fail and leave the transaction open (another program reading the file holds it past the busy
// timeout). The batch is then rolled back: left open, the next command's rows would join it and be reported
// stored without ever being committed.
void BatchedTransaction::commitBatch() {
    open_ = false;
    try {
        connection_.commit();
    } catch (const Error&) {
        pending_ = 0;
        try {
            connection_.rollback();
        } catch (const Error&) {
        }
        throw;
    }
    committed_ += pending_;
    pending_ = 0;
}

}  // namespace lexivo
