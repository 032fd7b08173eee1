#include "store/schema.h"

#include <optional>

#include "common/dialogs.h"
#include "store/collation.h"
#include "store/engine.h"

namespace lexivo {

namespace {

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace('"', "\"\"") + '"';
}

// The column type that stands for a field-type code. Text fields compare and sort in the word order of the
// program's own collation (equal without regard to case in every alphabet); the size is recorded in the
// declared type.
QString columnType(int type, int size) {
    switch (type) {
        case kTextField:
            return (size > 0 ? QStringLiteral("TEXT(%1)").arg(size) : QStringLiteral("TEXT(255)")) +
                   QStringLiteral(" COLLATE ") + kCollationName;
        case kMemoField:
            return QStringLiteral("TEXT COLLATE ") + kCollationName;
        case 1:  // yes/no
        case 2:  // byte
        case 3:  // integer
        case kLongField:
            return QStringLiteral("INTEGER");
        case 6:  // single
        case 7:  // double
            return QStringLiteral("REAL");
        case 11:  // binary
            return QStringLiteral("BLOB");
        default:
            return QStringLiteral("NUMERIC");
    }
}

// The table's fields, or nothing when there is no such table.
std::optional<std::vector<Connection::Column>> openTableFields(Connection& db, const QString& table) {
    if (!TableExists(db, table)) return std::nullopt;
    return db.columns(table);
}

}  // namespace

bool TableExists(Connection& db, const QString& table) {
    const QString wanted = table.toUpper();
    for (const QString& name : db.tableNames())
        if (name.toUpper() == wanted) return true;
    return false;
}

bool FieldExists(Connection& db, const QString& table, const QString& field) {
    const auto fields = openTableFields(db, table);
    if (!fields) return false;
    const QString wanted = field.toUpper();
    for (const auto& column : *fields)
        if (column.name.toUpper() == wanted) return true;
    return false;
}

bool IndexExists(Connection& db, const QString& table, const QString& index) {
    if (!TableExists(db, table)) return false;
    return db.indexNames(table).contains(index, Qt::CaseSensitive);
}

void EnsureField(Connection& db, const QString& table, const QString& field, int type, int size) {
    if (!TableExists(db, table)) db.execute(QStringLiteral("CREATE TABLE %1 (\"ID\" INTEGER)").arg(quoted(table)));
    if (FieldExists(db, table, field)) return;
    db.execute(
        QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(quoted(table), quoted(field), columnType(type, size)));
}

void AddIndex(Connection& db, const QString& table, const QString& index, const QString& fieldList, Dialogs& dialogs) {
    if (!TableExists(db, table)) {
        dialogs.notice(QStringLiteral("ERROR! Table not found in database, cannot create index."));
        return;
    }
    const QStringList fields = fieldList.split(QLatin1Char(','));
    for (const QString& field : fields) {
        if (!FieldExists(db, table, field)) {
            dialogs.notice(QStringLiteral("ERROR! Field not found in table, cannot create index."));
            return;
        }
    }
    if (IndexExists(db, table, index)) return;
    QStringList columns;
    for (const QString& field : fields) columns << quoted(field);
    db.buildIndex(QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(quoted(index), quoted(table), columns.join(',')));
}

SuspendedIndexes::SuspendedIndexes(Connection& db, const QStringList& fields) : db_(db) {
    for (const QString& field : fields) {
        if (!IndexExists(db_, QStringLiteral("Dictionary"), field)) continue;
        db_.execute(QStringLiteral("DROP INDEX [%1]").arg(field));
        dropped_ << field;
    }
}

SuspendedIndexes::~SuspendedIndexes() {
    try {
        restore();
    } catch (const Error&) {
    }
}

void SuspendedIndexes::restore() {
    while (!dropped_.isEmpty()) {
        db_.buildIndex(QStringLiteral("CREATE INDEX IF NOT EXISTS [%1] ON [Dictionary] ([%1])").arg(dropped_.first()));
        dropped_.removeFirst();
    }
}

}  // namespace lexivo
