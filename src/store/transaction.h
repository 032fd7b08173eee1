#pragma once

#include "store/connection.h"

namespace lexivo {

// Rolls the transaction back unless commit() was called.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Connection& connection_;
    bool open_ = true;
};

// Bulk writers (import, complete rebuild) commit in batches: never one commit per row, never the whole run in
// one transaction, so that a stop, a failure or a killed process keeps every batch committed before it.
class BatchedTransaction {
public:
    // A limit of 0 takes the process-wide default.
    explicit BatchedTransaction(Connection& connection, int rowsPerBatch = 0, int millisecondsPerBatch = 0);
    ~BatchedTransaction();  // commits what is pending; never throws
    BatchedTransaction(const BatchedTransaction&) = delete;
    BatchedTransaction& operator=(const BatchedTransaction&) = delete;

    // Call after every row written; commits and starts a new batch when the batch is full or old.
    void rowWritten();
    // Commits the pending rows (throws Error when the commit fails).
    void finish();
    // Call after a statement wrote count rows at once.
    void rowsWritten(qint64 count);
    // Rows committed so far, and the most a batch holds.
    qint64 committedRows() const { return committed_; }
    int rowsPerBatch() const { return rowsPerBatch_; }

    // The limits of writers that choose none: 50,000 rows or 2 seconds. Fault trials lower them, so that a
    // writer killed part-way has committed many batches.
    static void setDefaultLimits(int rowsPerBatch, int millisecondsPerBatch);

private:
    void commitBatch();

    Connection& connection_;
    int rowsPerBatch_;
    int millisecondsPerBatch_;
    qint64 pending_ = 0;
    qint64 committed_ = 0;
    qint64 batchStart_ = 0;
    bool open_ = false;
};

}  // namespace lexivo
