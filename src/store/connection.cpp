#include "store/connection.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <atomic>

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

void registerDialect(sqlite3* db) {
    if (const int rc = RegisterWordFunctions(db); rc != SQLITE_OK) {
        sqlite3_close(db);
        throw Error(QString::fromUtf8(sqlite3_errstr(rc)), rc & 0xFF);
    }
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

QString EscapeQuotes(const QString& text) {
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    // A NUL would end the statement's text where it stands (a word list may well hold one): it joins the
    // literal as a character of its own.
    return escaped.replace(QChar(u'\0'), QStringLiteral("'||char(0)||'"));
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

void Connection::setLockWaitHandler(std::function<void()> handler) {
    handle();
    hooked_->onLockWait = std::move(handler);
}

void Connection::setBusyTimeout(int milliseconds) {
    sqlite3* db = handle();  // a closed or moved-from connection has nothing to set
    hooked_->busyTimeoutMs = milliseconds;
    // As sqlite3_busy_timeout waits, in even steps, but with the connection's handler called first at every step.
    sqlite3_busy_handler(
        db,
        [](void* data, int attempt) {
            auto* hooked = static_cast<Hooked*>(data);
            if (hooked->onLockWait) hooked->onLockWait();
            if (attempt * kLockWaitStepMs >= hooked->busyTimeoutMs) return 0;
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

namespace {
// Runs a statement with a progress callback: the engine calls back every so many of its instructions, and a
// callback that answers non-zero interrupts the statement.
class Interruptible {
public:
    Interruptible(sqlite3* db, const std::function<bool()>& keepGoing) : db_(db), keepGoing_(keepGoing) {
        constexpr int kInstructionsPerCall = 4096;
        if (keepGoing_) sqlite3_progress_handler(db_, kInstructionsPerCall, &Interruptible::call, this);
    }
    ~Interruptible() {
        if (keepGoing_) sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    }
    bool stopped() const { return stopped_; }

private:
    static int call(void* self) {
        auto* me = static_cast<Interruptible*>(self);
        try {
            me->stopped_ = !me->keepGoing_();
        } catch (...) {
            me->stopped_ = true;
        }
        return me->stopped_ ? 1 : 0;
    }
    sqlite3* db_;
    const std::function<bool()>& keepGoing_;
    bool stopped_ = false;
};
}  // namespace

std::optional<qint64> Connection::count(const QString& query, const std::function<bool()>& keepGoing) {
    Statement s(*this, QStringLiteral("SELECT count(*) FROM (") + adapt(query) + QLatin1Char(')'));
    const Interruptible interruptible(handle(), keepGoing);
    try {
        return s.step() ? s.integer(0) : 0;
    } catch (const Error&) {
        if (interruptible.stopped()) return std::nullopt;
        throw;
    }
}

void Connection::forEachText(const QString& query, const std::function<bool(QByteArrayView utf8)>& onRow) {
    forEachTextAndNumber(query, [&onRow](QByteArrayView utf8, qint64) { return onRow(utf8); });
}

void Connection::forEachTextAndNumber(const QString& query,
                                      const std::function<bool(QByteArrayView utf8, qint64)>& onRow) {
    scan(query, [&onRow](const Statement& s) {
        const auto* p = reinterpret_cast<const char*>(s.rawText(0));
        return onRow(QByteArrayView(p, p ? s.bytes(0) : 0), s.columnCount() > 1 ? s.integer(1) : 0);
    });
}

void Connection::scan(const QString& query, const std::function<bool(const Statement&)>& onRow) {
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
    while (s.step())
        if (!onRow(s)) break;
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

}  // namespace lexivo
