#include "store/file_defences.h"

#include <sqlite3.h>

#include "store/error.h"

namespace lexivo {

namespace {

int applySettings(sqlite3* db) {
    // Defensive: no writing to the schema table or to the pages directly, whatever a statement asks.
    if (const int rc = sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr); rc != SQLITE_OK) return rc;
    // The schema is not trusted: a trigger or view may call only functions marked innocuous (the word keys,
    // LEN, like), never one that runs the program's own code, such as a search's row callback.
    if (const int rc = sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr); rc != SQLITE_OK) return rc;
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, kMaxStatementBytes);
    // Every cell's size is checked against its page as it is read, so that a damaged page is reported.
    return sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
}

}  // namespace

void ApplyFileDefences(sqlite3* db) {
    if (const int rc = applySettings(db); rc != SQLITE_OK) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        throw Error(message, rc & 0xFF);
    }
}

}  // namespace lexivo
