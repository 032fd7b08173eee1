#include "support/word_db.h"

#include <gtest/gtest.h>

#include <QFile>

#include "store/keys.h"
#include "support/scripted_dialogs.h"

namespace lexivo::test {

void CreateWordDatabase(const QString& path, const QStringList& words) {
    ScriptedDialogs dialogs;
    Connection db;
    ASSERT_TRUE(OpenOrCreateDatabase(db, path, dialogs));
    DatabaseState state;
    state.DatabasePath = path;
    RecordingView view;
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    CompleteNewDatabase(state.CurrentDatabase, dialogs);
    WordTable table(state.CurrentDatabase);
    Transaction transaction(state.CurrentDatabase);
    for (const QString& word : words) {
        const WordKeys keys = KeysOf(word);
        table.addNew(word, keys.sorted, keys.letters);
    }
    transaction.commit();
}

void OpenWordDatabase(DatabaseState& state, const QString& path) {
    ScriptedDialogs dialogs;
    RecordingView view;
    state.DatabasePath = path;
    ASSERT_TRUE(LoadDatabase(state, view, dialogs)) << dialogs.texts().join('\n').toStdString();
}

QStringList StoredWords(Connection& db) {
    QStringList words;
    Cursor cursor(db, QStringLiteral("SELECT [Word] FROM [Dictionary] ORDER BY rowid"));
    for (; !cursor.eof(); cursor.moveNext()) words << cursor.text(QStringLiteral("Word"));
    return words;
}

QString StoredKeys(Connection& db, const QString& word) {
    Cursor cursor(
        db, QStringLiteral("SELECT [Sorted],[Letters] FROM [Dictionary] WHERE [Word]='%1'").arg(EscapeQuotes(word)));
    if (cursor.eof()) return QStringLiteral("<missing>");
    auto show = [](const std::optional<QString>& v) { return v ? *v : QStringLiteral("<null>"); };
    return show(cursor.value(0)) + QLatin1Char('|') + show(cursor.value(1));
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace lexivo::test
