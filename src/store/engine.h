#pragma once

// The engine layer: the word database's file engine (SQLite) behind a connection, query cursors, a table
// cursor with exact look-ups on the Word index, and transactions. Nothing outside this layer sees SQLite.
//
// Query texts are written in the word database's dialect and pass through a thin adapter: [Name] identifiers
// are native, LEN() counts characters, LIKE uses "*" and "?" as wildcards and ignores case, and
// "DELETE * FROM" means "DELETE FROM".

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "store/error.h"

struct sqlite3;
struct sqlite3_context;
struct sqlite3_value;

namespace lexivo {

class Statement;

// One open word database file. Move-only; the destructor closes it.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(Connection&&) noexcept;
    Connection& operator=(Connection&&) noexcept;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens an existing file, read-write where the file system allows it, else read-only. Throws Error.
    static Connection open(const QString& path);
    // Creates a new, empty database file; fails when the file exists. Throws Error.
    static Connection create(const QString& path);

    // How long a statement waits for another connection's lock before it fails with the reason.
    void setBusyTimeout(int milliseconds);
    // Called on the waiting connection's thread whenever a connection of this program waits for a lock: a reader
    // of the program's own on another thread can then let go, so that the program never waits for itself.
    static void setLockWaitHook(std::function<void()> hook);

    bool isOpen() const { return db_ != nullptr; }
    bool isReadOnly() const;
    const QString& path() const { return path_; }
    void close();

    // Runs a statement in the query dialect (no rows expected). Throws Error.
    void execute(const QString& statement);
    // Runs a query that yields one number (for example a count). Throws Error.
    qint64 scalar(const QString& query);
    qint64 changes() const;
    // Runs a CREATE INDEX statement, which sorts the whole column, with the settings that sort fastest.
    void buildIndex(const QString& statement);
    // Calls onRow with the UTF-8 text of the first column of each row of query (empty for null) until it answers
    // false: a whole column read at the speed of the file, without a cursor's string per row. Throws Error.
    void forEachText(const QString& query, const std::function<bool(QByteArrayView utf8)>& onRow);

    // What data kept for speed compares to know whether the database changed since it was read: equal stamps
    // mean that no row or table was written by this connection (nor a transaction rolled back) and nothing was
    // committed by any other connection, of this program or another. Throws Error.
    struct ChangeStamp {
        quint64 connection = 0;    // the open connection: every open is a new one
        qint64 ownWrites = 0;      // rows this connection wrote, and its rollbacks
        qint64 dataVersion = 0;    // moves with every commit of another connection
        qint64 schemaVersion = 0;  // moves with every change of a table or an index, whoever makes it
        bool operator==(const ChangeStamp&) const = default;
    };
    ChangeStamp changeStamp();

    void beginTransaction();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Writes a compacted copy of the database into a new file at destination (the source is unchanged).
    // whileWorking, when given, is called now and then during the copy, so that a window can repaint.
    void compactInto(const QString& destination, const std::function<void()>& whileWorking = {});

    // Column names of a table in table order, and the declared type of each; empty when there is no table.
    struct Column {
        QString name;
        QString type;
    };
    std::vector<Column> columns(const QString& table);
    // The collation a column compares with ("BINARY" when it names none); empty when there is no such column.
    QString columnCollation(const QString& table, const QString& column);
    // The version of the word order (kCollationVersion) the file's indexes were built under, kept in the
    // file's user_version; 0 in a file that never had it.
    int orderVersion();
    void setOrderVersion(int version);
    // Table names in the order the database lists them; index names of a table.
    QStringList tableNames();
    QStringList indexNames(const QString& table);

    // The dialect adapter, exposed for tests: the SQLite text a dialect statement is run as.
    static QString adapt(const QString& statement);

private:
    friend class Statement;
    friend class RowCallback;
    Connection(sqlite3* db, QString path);
    sqlite3* handle() const;

    sqlite3* db_ = nullptr;
    QString path_;
    quint64 serial_ = 0;
    // What the engine's hooks count and read, kept where it is when the connection moves.
    struct Hooked {
        qint64 rollbacks = 0;
        int busyTimeoutMs = 0;
    };
    std::unique_ptr<Hooked> hooked_;
};

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

// A function of text arguments that statements on the connection can call while the object lives, bound to a
// callable of this program: a statement that updates many rows at once calls back for each row it reaches
// (progress, the stop question, a test the SQL cannot express), without reading the rows out and writing
// them back one by one. The callable gets the arguments as text (nullopt for null) and answers true or false.
// It should not throw; if it does, the statement fails and rethrowPending() throws the exception again.
class RowCallback {
public:
    using Arguments = std::vector<std::optional<QString>>;
    using Body = std::function<bool(const Arguments&)>;

    RowCallback(Connection& connection, const QString& name, int argumentCount, Body body);
    ~RowCallback();
    RowCallback(const RowCallback&) = delete;
    RowCallback& operator=(const RowCallback&) = delete;

    // Runs a statement that calls the function; an exception the callable threw comes out as itself.
    void execute(const QString& statement);

private:
    static void call(sqlite3_context* context, int count, sqlite3_value** values);

    Connection& connection_;
    QByteArray name_;
    int argumentCount_;
    Body body_;
    Arguments arguments_;
    std::exception_ptr pending_;
};

// A forward cursor over the rows of a query text. The rows are read once; recordCount() is 0 right after
// opening exactly when there are no rows, and the full count after moveLast().
class Cursor {
public:
    Cursor(Connection& connection, const QString& queryText);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    qint64 recordCount() const { return static_cast<qint64>(rows_.size() / columnCount()); }
    // Reads the rest of the rows. keepGoing, when given, is asked now and then; when it answers false the
    // cursor ends where it is (a stop during a long read).
    void moveLast(const std::function<bool()>& keepGoing = {});
    void moveFirst() { position_ = 0; }
    void moveNext() { ++position_; }
    bool eof() const { return position_ >= recordCount(); }

    // Value of a field of the current row; nullopt for a null value. Field names compare without regard to case.
    const std::optional<QString>& value(const QString& field) const;
    const std::optional<QString>& value(int column) const;
    // Text of a field, empty for null.
    QString text(const QString& field) const;
    int column(const QString& field) const;
    int columnCount() const { return static_cast<int>(names_.size()); }
    void close();

private:
    bool fetchRow();
    std::unique_ptr<Statement> statement_;
    std::vector<QString> names_;
    std::vector<std::optional<QString>> rows_;
    qint64 position_ = 0;
    bool exhausted_ = false;
};

// The table Dictionary opened directly: exact look-ups on the Word index, adding rows and deleting a word.
class WordTable {
public:
    explicit WordTable(Connection& connection);
    ~WordTable();
    WordTable(const WordTable&) = delete;
    WordTable& operator=(const WordTable&) = delete;

    // True when a row whose Word equals word (ignoring case) exists; seek's NoMatch is !seek.
    bool seek(const QString& word);
    // Adds a row with its keys.
    void addNew(const QString& word, const QString& sorted, const QString& letters);
    // Deletes every row whose Word equals word under the engine's comparison; returns how many.
    qint64 deleteWord(const QString& word);

private:
    Connection& connection_;
    std::unique_ptr<Statement> seek_;
    std::unique_ptr<Statement> insert_;
    std::unique_ptr<Statement> delete_;
};

// Text placed between single quotes in a query text: every single quote doubled, so that input never ends
// the literal early; a NUL character becomes '||char(0)||', the one character a literal cannot hold.
QString EscapeQuotes(const QString& text);

// Words, keys and other texts are at most this many characters long (the size of the text fields).
constexpr int kMaxFieldLength = 255;

}  // namespace lexivo
