#pragma once

// Internal to the engine layer: a prepared SQLite statement, finalized by its destructor.

#include <sqlite3.h>

#include <QString>
#include <memory>
#include <optional>

#include "store/engine.h"

namespace lexivo {

[[noreturn]] void ThrowEngineError(sqlite3* db, int code);

class Statement {
public:
    Statement(Connection& connection, const QString& sql);
    Statement(sqlite3* db, const QString& sql);

    // Steps once; true when a row is available, false when done. Throws Error.
    bool step();
    void reset();
    void bind(int index, const QString& text);
    void bind(int index, const std::optional<QString>& text);
    void bind(int index, qint64 value);
    // Binds text without copying it: it must outlive the statement's next step.
    void bindInPlace(int index, const QString& text);
    int columnCount() const { return sqlite3_column_count(stmt_.get()); }
    QString columnName(int column) const;
    bool isNull(int column) const { return sqlite3_column_type(stmt_.get(), column) == SQLITE_NULL; }
    int type(int column) const { return sqlite3_column_type(stmt_.get(), column); }  // SQLITE_INTEGER, ...
    double real(int column) const { return sqlite3_column_double(stmt_.get(), column); }
    QString text(int column) const;
    // The column's UTF-8 text as SQLite holds it, valid until the next step; nullptr for null.
    const unsigned char* rawText(int column) const { return sqlite3_column_text(stmt_.get(), column); }
    int bytes(int column) const { return sqlite3_column_bytes(stmt_.get(), column); }
    qint64 integer(int column) const { return sqlite3_column_int64(stmt_.get(), column); }

private:
    struct Finalizer {
        void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
    };
    sqlite3* db_;
    std::unique_ptr<sqlite3_stmt, Finalizer> stmt_;
};

}  // namespace lexivo
