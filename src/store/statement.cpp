#include "store/statement.h"

#include <cstring>

namespace lexivo {

[[noreturn]] void ThrowEngineError(sqlite3* db, int code) {
    QString message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    throw Error(message, code & 0xFF);
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

}  // namespace lexivo
