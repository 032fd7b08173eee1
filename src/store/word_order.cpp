#include "store/word_order.h"

#include "store/collation.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/schema.h"

namespace lexivo {

namespace {

const QString kDictionary = QStringLiteral("Dictionary");

bool isKeyField(const QString& name) {
    return name.compare(QStringLiteral("Word"), Qt::CaseInsensitive) == 0 ||
           name.compare(QStringLiteral("Sorted"), Qt::CaseInsensitive) == 0 ||
           name.compare(QStringLiteral("Letters"), Qt::CaseInsensitive) == 0;
}

bool ownCollation(const QString& collation) {
    return collation.compare(QLatin1String(kCollationName), Qt::CaseInsensitive) == 0;
}

QString quoted(const QString& name) {
    return QLatin1Char('"') + QString(name).replace('"', "\"\"") + '"';
}

}  // namespace

bool NeedsWordOrderConversion(Connection& db) {
    for (const auto& column : db.columns(kDictionary))
        if (isKeyField(column.name) && !ownCollation(db.columnCollation(kDictionary, column.name))) return true;
    return false;
}

namespace {

// The version of the word order a file's user_version names.
int orderVersionOf(int fileVersion) {
    return fileVersion == kFileVersion ? 1 : fileVersion;
}

}  // namespace

bool UsesOwnWordOrder(Connection& db) {
    return ownCollation(db.columnCollation(kDictionary, QStringLiteral("Word"))) &&
           orderVersionOf(db.orderVersion()) == kCollationVersion;
}

bool StoredKeysCurrent(Connection& db) {
    return db.orderVersion() == kFileVersion;
}

void ConvertToOwnWordOrder(Connection& db, const std::function<void(const QString&)>& progress) {
    const qint64 total = db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"));
    const QString message = QStringLiteral("Converting the words to the new word order... %1%");
    progress(message.arg(0));

    // The new table: the same fields with their types, the text fields in the program's order.
    QStringList definitions, names, values, primaryKey;
    bool hasWord = false;
    for (const auto& column : db.columns(kDictionary))
        hasWord = hasWord || column.name.compare(QStringLiteral("Word"), Qt::CaseInsensitive) == 0;
    {
        Cursor info(db, QStringLiteral("PRAGMA table_info([Dictionary])"));
        std::vector<std::pair<int, QString>> keyParts;
        for (; !info.eof(); info.moveNext()) {
            const QString name = info.text("name");
            QString definition = quoted(name) + ' ';
            definition += isKeyField(name)
                              ? QStringLiteral("TEXT(%1) COLLATE %2").arg(kMaxFieldLength).arg(kCollationName)
                              : info.text("type");
            if (info.text("notnull") == "1") definition += QStringLiteral(" NOT NULL");
            if (info.value("dflt_value")) definition += QStringLiteral(" DEFAULT ") + info.text("dflt_value");
            if (const int part = info.text("pk").toInt(); part > 0) keyParts.emplace_back(part, quoted(name));
            definitions << definition.trimmed();
            names << quoted(name);
            // The keys are made anew on the way: the file may hold keys of an older kind.
            const bool sorted = name.compare(QStringLiteral("Sorted"), Qt::CaseInsensitive) == 0;
            const bool letters = name.compare(QStringLiteral("Letters"), Qt::CaseInsensitive) == 0;
            values << (hasWord && sorted    ? QStringLiteral("SortString([Word])")
                       : hasWord && letters ? QStringLiteral("UniqueChars(SortString([Word]))")
                                            : quoted(name));
        }
        std::sort(keyParts.begin(), keyParts.end());
        for (const auto& part : keyParts) primaryKey << part.second;
    }
    if (!primaryKey.isEmpty()) definitions << QStringLiteral("PRIMARY KEY (%1)").arg(primaryKey.join(','));

    // Indexes of other fields and triggers, made by another program, are made again as they were; the look-up
    // indexes are the caller's.
    QStringList otherIndexes, triggers;
    {
        Cursor schema(db, QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('index', "
                                         "'trigger') AND tbl_name='Dictionary' COLLATE NOCASE AND sql IS NOT NULL"));
        for (; !schema.eof(); schema.moveNext()) {
            if (schema.text("type") == QLatin1String("trigger"))
                triggers << schema.text("sql");
            else if (!isKeyField(schema.text("name")))
                otherIndexes << schema.text("sql");
        }
    }

    bool rowIds = true;
    try {
        db.scalar(QStringLiteral("SELECT rowid FROM [Dictionary] LIMIT 0"));
    } catch (const Error&) {
        rowIds = false;  // a table without row ids: its rows are copied in its own order
    }

    const QString converted = QStringLiteral("Dictionary_converting");
    db.execute(QStringLiteral("DROP TABLE IF EXISTS ") + quoted(converted));
    db.execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(converted), definitions.join(QStringLiteral(", "))));
    qint64 copied = 0;
    RowCallback tick(db, QStringLiteral("lexivo_conversion_progress"), 0, [&](const RowCallback::Arguments&) {
        if (++copied % 16384 == 0 && total > 0) progress(message.arg(copied * 100 / total));
        return true;
    });
    const QString fields = names.join(',');
    const QString from = values.join(',');
    tick.execute(rowIds ? QStringLiteral("INSERT INTO %1 (rowid,%2) SELECT rowid,%3 FROM [Dictionary] WHERE "
                                         "lexivo_conversion_progress() ORDER BY rowid")
                              .arg(quoted(converted), fields, from)
                        : QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM [Dictionary] WHERE "
                                         "lexivo_conversion_progress()")
                              .arg(quoted(converted), fields, from));
    progress(message.arg(100));
    db.execute(QStringLiteral("DROP TABLE [Dictionary]"));
    db.execute(QStringLiteral("ALTER TABLE %1 RENAME TO [Dictionary]").arg(quoted(converted)));
    for (const QString& sql : otherIndexes) db.buildIndex(sql);
    for (const QString& sql : triggers) db.execute(sql);
    db.setOrderVersion(kFileVersion);
}

void RefreshWordOrderVersion(Connection& db, const std::function<void(const QString&)>& progress) {
    const int version = db.orderVersion();
    if (version == kFileVersion) return;
    if (orderVersionOf(version) != kCollationVersion) db.execute(QStringLiteral("REINDEX ") + kCollationName);
    int keyFields = 0;  // a table without words yet (a new file before its Word field) has no keys to write
    for (const auto& column : db.columns(kDictionary)) keyFields += isKeyField(column.name) ? 1 : 0;
    if (keyFields < 3) {
        db.setOrderVersion(kFileVersion);
        return;
    }
    // Only the rows whose keys differ are written (a word with a capital, mostly): the keys are made once per
    // row, and the test compares them exactly, not in the word order, which would hold "llaB" equal to "llab".
    const qint64 total = db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary]"));
    const QString message = QStringLiteral("Writing the letter keys of the words... %1%");
    progress(message.arg(0));
    qint64 seen = 0;
    RowCallback stale(db, QStringLiteral("lexivo_keys_stale"), 3, [&](const RowCallback::Arguments& row) {
        if (++seen % 16384 == 0 && total > 0) progress(message.arg(seen * 100 / total));
        if (!row[0]) return row[1] || row[2];  // a row without a word has no keys
        const WordKeys keys = KeysOf(*row[0]);
        return row[1] != keys.sorted || row[2] != keys.letters;
    });
    stale.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]=SortString([Word]), "
                                 "[Letters]=UniqueChars(SortString([Word])) "
                                 "WHERE lexivo_keys_stale([Word],[Sorted],[Letters])"));
    progress(message.arg(100));
    db.setOrderVersion(kFileVersion);
}

}  // namespace lexivo
