#include "store/engine.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>
#include <cstring>
#include <mutex>

#include "store/file_defences.h"
#include "store/keys.h"
#include "store/sql_functions.h"
#include "store/statement.h"

namespace lexivo {

namespace {

// The page cache (in KiB, negative as SQLite takes it) while writing, large enough to hold the indexes of a
// big list while it is imported or rebuilt; and while an index is built by sorting (see buildIndex).
#define kWritingCache "-65536"
#define kSortingCache "-2000"

// Another program may hold the file for a moment; past this the reason is reported.
constexpr int kBusyTimeoutMs = 3000;
constexpr int kLockWaitStepMs = 5;  // how often a connection waiting for a lock tries again

QString quoteIdentifier(const QString& name) {
    return QLatin1Char('"') + QString(name).replace('"', "\"\"") + '"';
}

// SortString(text) and UniqueChars(text): the letter keys, so that a statement can write them into many rows.
// They are not part of the schema: the stock sqlite3 tool never needs them.
template <QString (*Key)(const QString&)>
void keyFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray key = Key(QString::fromUtf8(p, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, key.constData(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

void registerDialect(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (const int rc = RegisterWordFunctions(db); rc != SQLITE_OK) {
        sqlite3_close(db);
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)), rc & 0xFF);
    }
    sqlite3_create_function(db, "SortString", 1, flags, nullptr, keyFunction<SortString>, nullptr, nullptr);
    sqlite3_create_function(db, "UniqueChars", 1, flags, nullptr, keyFunction<UniqueChars>, nullptr, nullptr);
}

sqlite3* openHandle(const QString& path, int flags) {
    sqlite3* db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    const int rc = sqlite3_open_v2(file.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close(db);
        throw Error(message + QStringLiteral(": ") + path, rc & 0xFF);
    }
    sqlite3_extended_result_codes(db, 0);
    ApplyFileDefences(db);
    registerDialect(db);
    return db;
}

void runPragmas(sqlite3* db) {
    // A rollback journal (one file when closed) with full syncs: a crash never loses a committed batch.
    // The cache is large enough to hold the indexes of a big list while it is imported or rebuilt.
    const char* pragmas = "PRAGMA synchronous=FULL; PRAGMA cache_size=" kWritingCache ";";
    char* err = nullptr;
    if (const int rc = sqlite3_exec(db, pragmas, nullptr, nullptr, &err); rc != SQLITE_OK) {
        QString message = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        throw Error(message, rc & 0xFF);
    }
}

}  // namespace

[[noreturn]] void ThrowEngineError(sqlite3* db, int code) {
    QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    throw Error(message, code & 0xFF);
}

QString EscapeQuotes(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    // A NUL would end the statement's text where it stands (a word list may well hold one): it joins the
    // literal as a character of its own.
    return escaped.replace(QChar(u'\0'), QStringLiteral("'||char(0)||'"));
}

// ---- Statement ----

Statement::Statement(Connection& connection, const QString& sql) : Statement(connection.handle(), sql) {}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
    if (!db) throw Error(QStringLiteral("No word database is open."));
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &raw, &tail);
    stmt_.reset(raw);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
    if (!raw) throw Error(QStringLiteral("Empty statement."));
    // One statement at a time: text after it would be silently ignored otherwise.
    while (tail && *tail && std::strchr(" \t\r\n;", *tail)) ++tail;
    if (tail && *tail) throw Error(QStringLiteral("Only one statement may be run at a time."));
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_.get());
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    sqlite3_reset(stmt_.get());
    ThrowEngineError(db_, rc);
}

void Statement::reset() {
    sqlite3_reset(stmt_.get());
    sqlite3_clear_bindings(stmt_.get());
}

void Statement::bind(int index, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    const int rc =
        sqlite3_bind_text(stmt_.get(), index, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) ThrowEngineError(db_, rc);
}

void Statement::bindInPlace(int index, const QString& text) {
    const int rc =
        sqlite3_bind_text16(stmt_.get(), index, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_STATIC);
    if (rc != SQLITE_OK) ThrowEngineError(db_, rc);
}

void Statement::bind(int index, const std::optional<QString>& text) {
    if (text) {
        bind(index, *text);
    } else if (const int rc = sqlite3_bind_null(stmt_.get(), index); rc != SQLITE_OK) {
        ThrowEngineError(db_, rc);
    }
}

void Statement::bind(int index, qint64 value) {
    if (const int rc = sqlite3_bind_int64(stmt_.get(), index, value); rc != SQLITE_OK) ThrowEngineError(db_, rc);
}

QString Statement::columnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_.get(), column));
}

QString Statement::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), column));
    return QString::fromUtf8(p, sqlite3_column_bytes(stmt_.get(), column));
}

// ---- Connection ----

Connection::Connection() = default;
Connection::Connection(sqlite3* db, QString path)
    : db_(db), path_(std::move(path)), hooked_(std::make_unique<Hooked>()) {
    static std::atomic<quint64> opened{0};
    serial_ = ++opened;
    sqlite3_rollback_hook(
        db_, [](void* hooked) { ++static_cast<Hooked*>(hooked)->rollbacks; }, hooked_.get());
    setBusyTimeout(kBusyTimeoutMs);
}
Connection::~Connection() {
    close();
}
Connection::Connection(Connection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)),
      path_(std::move(other.path_)),
      serial_(std::exchange(other.serial_, 0)),
      hooked_(std::move(other.hooked_)) {}
Connection& Connection::operator=(Connection&& other) noexcept {
    if (this != &other) {
        close();
        db_ = std::exchange(other.db_, nullptr);
        path_ = std::move(other.path_);
        serial_ = std::exchange(other.serial_, 0);
        hooked_ = std::move(other.hooked_);
    }
    return *this;
}

sqlite3* Connection::handle() const {
    if (!db_) throw Error(QStringLiteral("No word database is open."));
    return db_;
}

Connection Connection::open(const QString& path) {
    if (!QFileInfo::exists(path)) throw Error(QStringLiteral("File not found: ") + path);
    if (QFileInfo(path).isDir()) throw Error(QStringLiteral("Is a folder, not a file: ") + path);
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE);
    Connection connection(db, path);
    runPragmas(db);
    return connection;
}

Connection Connection::create(const QString& path) {
    if (QFileInfo::exists(path)) throw Error(QStringLiteral("The file exists already: ") + path);
    sqlite3* db = openHandle(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    Connection connection(db, path);
    runPragmas(db);
    return connection;
}

namespace {
std::function<void()> lockWaitHook;
std::mutex lockWaitHookMutex;
}  // namespace

void Connection::setLockWaitHook(std::function<void()> hook) {
    const std::lock_guard lock(lockWaitHookMutex);
    lockWaitHook = std::move(hook);
}

void Connection::setBusyTimeout(int milliseconds) {
    hooked_->busyTimeoutMs = milliseconds;
    // As sqlite3_busy_timeout waits, in even steps, but with the hook called first at every step.
    sqlite3_busy_handler(
        handle(),
        [](void* hooked, int attempt) {
            {
                const std::lock_guard lock(lockWaitHookMutex);
                if (lockWaitHook) lockWaitHook();
            }
            if (attempt * kLockWaitStepMs >= static_cast<Hooked*>(hooked)->busyTimeoutMs) return 0;
            sqlite3_sleep(kLockWaitStepMs);
            return 1;
        },
        hooked_.get());
}

bool Connection::isReadOnly() const {
    return db_ && sqlite3_db_readonly(db_, "main") == 1;
}

void Connection::close() {
    if (!db_) return;
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    // A handle that outlives its statements is closed later; by then the counter may be gone.
    sqlite3_rollback_hook(db_, nullptr, nullptr);
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

QString Connection::adapt(const QString& statement) {
    static const QRegularExpression deleteStar(QStringLiteral("^\\s*DELETE\\s+\\*\\s+FROM\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    QString sql = statement;
    sql.replace(deleteStar, QStringLiteral("DELETE FROM"));
    return sql;
}

void Connection::execute(const QString& statement) {
    Statement s(*this, adapt(statement));
    while (s.step()) {
    }
}

qint64 Connection::scalar(const QString& query) {
    Statement s(*this, adapt(query));
    return s.step() ? s.integer(0) : 0;
}

void Connection::buildIndex(const QString& statement) {
    // SQLite's sorter works in runs the size of the page cache. Runs of a few megabytes stay within the
    // processor's caches and are sorted on a second thread while the first goes on; one run of the whole column,
    // as the large writing cache allows, takes about twice as long.
    execute(QStringLiteral("PRAGMA cache_size=" kSortingCache));
    execute(QStringLiteral("PRAGMA threads=2"));
    struct Restore {
        sqlite3* db;
        ~Restore() {
            sqlite3_exec(db, "PRAGMA threads=0; PRAGMA cache_size=" kWritingCache, nullptr, nullptr, nullptr);
        }
    } restore{handle()};
    execute(statement);
}

void Connection::forEachText(const QString& query, const std::function<bool(QByteArrayView utf8)>& onRow) {
    // The file is read through a memory map for the length of the scan: its pages are not copied into the page
    // cache one by one, which for a whole column costs more than the rows.
    const qint64 mapped = scalar(QStringLiteral("PRAGMA mmap_size"));
    execute(QStringLiteral("PRAGMA mmap_size=1073741824"));
    struct Restore {
        sqlite3* db;
        QByteArray pragma;
        ~Restore() { sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr); }
    } restore{handle(), "PRAGMA mmap_size=" + QByteArray::number(mapped)};
    Statement s(*this, adapt(query));
    while (s.step()) {
        const auto* p = reinterpret_cast<const char*>(s.rawText(0));
        if (!onRow(QByteArrayView(p, p ? s.bytes(0) : 0))) break;
    }
}

Connection::ChangeStamp Connection::changeStamp() {
    ChangeStamp stamp;
    stamp.connection = serial_;
    stamp.ownWrites = sqlite3_total_changes64(handle()) + (hooked_ ? hooked_->rollbacks : 0);
    stamp.dataVersion = scalar(QStringLiteral("PRAGMA data_version"));
    stamp.schemaVersion = scalar(QStringLiteral("PRAGMA schema_version"));
    return stamp;
}

qint64 Connection::changes() const {
    return db_ ? sqlite3_changes64(db_) : 0;
}

void Connection::beginTransaction() {
    execute(QStringLiteral("BEGIN"));
}
void Connection::commit() {
    execute(QStringLiteral("COMMIT"));
}
void Connection::rollback() {
    if (inTransaction()) execute(QStringLiteral("ROLLBACK"));
}
bool Connection::inTransaction() const {
    return db_ && !sqlite3_get_autocommit(db_);
}

void Connection::compactInto(const QString& destination, const std::function<void()>& whileWorking) {
    Statement s(*this, QStringLiteral("VACUUM INTO ?1"));
    s.bind(1, destination);
    if (!whileWorking) {
        s.step();
        return;
    }
    // The copy is one statement; the engine's progress callback is the only moment to hand control back.
    auto call = [](void* work) -> int {
        try {
            (*static_cast<const std::function<void()>*>(work))();
        } catch (...) {
        }
        return 0;
    };
    constexpr int kInstructionsPerCall = 1000;
    sqlite3_progress_handler(handle(), kInstructionsPerCall, call,
                             const_cast<void*>(static_cast<const void*>(&whileWorking)));
    try {
        s.step();
    } catch (...) {
        sqlite3_progress_handler(handle(), 0, nullptr, nullptr);
        throw;
    }
    sqlite3_progress_handler(handle(), 0, nullptr, nullptr);
}

std::vector<Connection::Column> Connection::columns(const QString& table) {
    std::vector<Column> result;
    Statement s(*this, QStringLiteral("PRAGMA table_info(") + quoteIdentifier(table) + ')');
    while (s.step()) result.push_back({s.text(1), s.text(2)});
    return result;
}

QString Connection::columnCollation(const QString& table, const QString& column) {
    const QByteArray t = table.toUtf8();
    const QByteArray c = column.toUtf8();
    const char* collation = nullptr;
    const int rc = sqlite3_table_column_metadata(handle(), "main", t.constData(), c.constData(), nullptr, &collation,
                                                 nullptr, nullptr, nullptr);
    return rc == SQLITE_OK && collation ? QString::fromUtf8(collation) : QString();
}

int Connection::orderVersion() {
    return static_cast<int>(scalar(QStringLiteral("PRAGMA user_version")));
}

void Connection::setOrderVersion(int version) {
    execute(QStringLiteral("PRAGMA user_version=%1").arg(version));
}

QStringList Connection::tableNames() {
    QStringList names;
    Statement s(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' ORDER BY rowid"));
    while (s.step()) names << s.text(0);
    return names;
}

QStringList Connection::indexNames(const QString& table) {
    QStringList names;
    Statement s(*this, QStringLiteral("SELECT name FROM sqlite_master WHERE type='index' AND tbl_name=?1 COLLATE "
                                      "NOCASE ORDER BY rowid"));
    s.bind(1, table);
    while (s.step()) names << s.text(0);
    return names;
}

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

// ---- Cursor ----

Cursor::Cursor(Connection& connection, const QString& queryText)
    : statement_(std::make_unique<Statement>(connection, Connection::adapt(queryText))) {
    const int n = statement_->columnCount();
    for (int i = 0; i < n; ++i) names_.push_back(statement_->columnName(i));
    if (names_.empty()) throw Error(QStringLiteral("The query returns no fields."));
    fetchRow();
}

Cursor::~Cursor() = default;

bool Cursor::fetchRow() {
    if (exhausted_) return false;
    if (!statement_->step()) {
        exhausted_ = true;
        statement_.reset();
        return false;
    }
    for (int i = 0; i < columnCount(); ++i) {
        if (statement_->isNull(i))
            rows_.emplace_back(std::nullopt);
        else
            rows_.emplace_back(statement_->text(i));
    }
    return true;
}

void Cursor::moveLast(const std::function<bool()>& keepGoing) {
    QElapsedTimer timer;
    timer.start();
    while (fetchRow()) {
        if (keepGoing && (rows_.size() & 255) == 0 && timer.elapsed() >= 15) {
            if (!keepGoing()) {
                exhausted_ = true;
                statement_.reset();
                break;
            }
            timer.restart();
        }
    }
    if (recordCount() > 0) position_ = recordCount() - 1;
}

int Cursor::column(const QString& field) const {
    for (int i = 0; i < columnCount(); ++i)
        if (names_[i].compare(field, Qt::CaseInsensitive) == 0) return i;
    throw Error(QStringLiteral("Item not found in this collection: ") + field);
}

const std::optional<QString>& Cursor::value(int col) const {
    // Reading past the rows fetched so far fetches them (the cursor is forward-only underneath).
    while (position_ >= recordCount() && const_cast<Cursor*>(this)->fetchRow()) {
    }
    if (position_ >= recordCount() || col < 0 || col >= columnCount())
        throw Error(QStringLiteral("No current record."));
    return rows_[static_cast<size_t>(position_ * columnCount() + col)];
}

const std::optional<QString>& Cursor::value(const QString& field) const {
    return value(column(field));
}

QString Cursor::text(const QString& field) const {
    return value(field).value_or(QString());
}

void Cursor::close() {
    statement_.reset();
    rows_.clear();
    rows_.shrink_to_fit();
    exhausted_ = true;
    position_ = 0;
}

// ---- WordTable ----

WordTable::WordTable(Connection& connection) : connection_(connection) {
    if (connection_.columns(QStringLiteral("Dictionary")).empty())
        throw Error(QStringLiteral("The word database has no table Dictionary."));
}

WordTable::~WordTable() = default;

bool WordTable::seek(const QString& word) {
    if (!seek_)
        seek_ = std::make_unique<Statement>(connection_,
                                            QStringLiteral("SELECT 1 FROM [Dictionary] WHERE [Word]=?1 LIMIT 1"));
    seek_->reset();
    seek_->bind(1, word);
    const bool found = seek_->step();
    seek_->reset();
    return found;
}

void WordTable::addNew(const QString& word, const QString& sorted, const QString& letters) {
    if (!insert_)
        insert_ = std::make_unique<Statement>(
            connection_, QStringLiteral("INSERT INTO [Dictionary]([Word],[Sorted],[Letters]) VALUES(?1,?2,?3)"));
    // The texts stay alive until the step is done: SQLite may read them in place.
    insert_->bindInPlace(1, word);
    insert_->bindInPlace(2, sorted);
    insert_->bindInPlace(3, letters);
    insert_->step();
    insert_->reset();
}

qint64 WordTable::deleteWord(const QString& word) {
    if (!delete_)
        delete_ = std::make_unique<Statement>(connection_, QStringLiteral("DELETE FROM [Dictionary] WHERE [Word]=?1"));
    delete_->reset();
    delete_->bind(1, word);
    delete_->step();
    delete_->reset();
    return connection_.changes();
}

}  // namespace lexivo

namespace lexivo {

// ---- RowCallback ----

RowCallback::RowCallback(Connection& connection, const QString& name, int argumentCount, Body body)
    : connection_(connection), name_(name.toUtf8()), argumentCount_(argumentCount), body_(std::move(body)) {
    // Not deterministic: the answer may change from one call to the next (a stop, a counter).
    const int rc = sqlite3_create_function(connection_.handle(), name_.constData(), argumentCount_, SQLITE_UTF8, this,
                                           &RowCallback::call, nullptr, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(connection_.handle(), rc);
}

RowCallback::~RowCallback() {
    if (connection_.isOpen())
        sqlite3_create_function(connection_.handle(), name_.constData(), argumentCount_, SQLITE_UTF8, nullptr, nullptr,
                                nullptr, nullptr);
}

void RowCallback::call(sqlite3_context* context, int count, sqlite3_value** values) {
    auto* self = static_cast<RowCallback*>(sqlite3_user_data(context));
    try {
        self->arguments_.resize(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (sqlite3_value_type(values[i]) == SQLITE_NULL) {
                self->arguments_[i].reset();
            } else {
                const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(values[i]));
                self->arguments_[i] = QString::fromUtf8(p, sqlite3_value_bytes(values[i]));
            }
        }
        sqlite3_result_int(context, self->body_(self->arguments_) ? 1 : 0);
    } catch (...) {
        self->pending_ = std::current_exception();
        sqlite3_result_error(context, "interrupted by the program", -1);
    }
}

void RowCallback::execute(const QString& statement) {
    pending_ = nullptr;
    try {
        connection_.execute(statement);
    } catch (const Error&) {
        if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
        throw;
    }
}

}  // namespace lexivo
