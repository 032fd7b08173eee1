#pragma once

// The connection of the engine layer: one open word database file.

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

    // How long a statement waits for another connection's lock before it fails with the reason. Throws Error
    // when no file is open.
    void setBusyTimeout(int milliseconds);
    // Called on this connection's thread each time this connection waits for another's lock (empty: none): the
    // owner of a reader of its own on another thread can then tell it to let go. Throws Error when no file is open.
    void setLockWaitHandler(std::function<void()> handler);

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
    // The number of rows query yields, counted without reading them out; keepGoing, when given, is asked now and
    // then while the engine counts, and once it answers false the count ends with nullopt. Throws Error.
    std::optional<qint64> count(const QString& query, const std::function<bool()>& keepGoing = {});
    // Calls onRow with the UTF-8 text of the first column of each row of query (empty for null) until it answers
    // false: a whole column read at the speed of the file, without a cursor's string per row. Throws Error.
    void forEachText(const QString& query, const std::function<bool(QByteArrayView utf8)>& onRow);
    // The same with the second column of each row as a whole number (0 for null).
    void forEachTextAndNumber(const QString& query, const std::function<bool(QByteArrayView utf8, qint64)>& onRow);
    // Calls onRow with each row of query until it answers false, the file read as forEachText() reads it.
    void scan(const QString& query, const std::function<bool(const Statement&)>& onRow);

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
    friend class NumberCallback;
    Connection(sqlite3* db, QString path);
    sqlite3* handle() const;

    sqlite3* db_ = nullptr;
    QString path_;
    quint64 serial_ = 0;
    // What the engine's hooks count and read, kept where it is when the connection moves.
    struct Hooked {
        qint64 rollbacks = 0;
        int busyTimeoutMs = 0;
        std::function<void()> onLockWait;
    };
    std::unique_ptr<Hooked> hooked_;
};

// Text placed between single quotes in a query text: every single quote doubled, so that input never ends
// the literal early; a NUL character becomes '||char(0)||', the one character a literal cannot hold.
QString EscapeQuotes(const QString& text);

// Words, keys and other texts are at most this many characters long (the size of the text fields).
constexpr int kMaxFieldLength = 255;

}  // namespace lexivo
