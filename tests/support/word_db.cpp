#include "support/word_db.h"

#include <gtest/gtest.h>

#include <QFile>
#include <map>
#include <vector>

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

namespace {

void writeWordNetPart(const QString& folder, const QString& pos,
                      const std::vector<std::pair<QByteArray, QByteArray>>& entries) {
    QByteArray data = "  1 A licence line.\n";
    std::map<QByteArray, QList<QByteArray>> index;
    for (const auto& [lemmas, gloss] : entries) {
        const QByteArray offset = QByteArray::number(data.size()).rightJustified(8, '0');
        const QList<QByteArray> words = lemmas.split(' ');
        data += offset + " 03 " + pos.left(1).toLatin1() + " 0" + QByteArray::number(words.size());
        for (const QByteArray& w : words) data += " " + w + " 0";
        data += " 000 | " + gloss + "  \n";
        for (const QByteArray& w : words) index[w.toLower().split('(').front()] << offset;
    }
    QByteArray text = "  1 A licence line.\n";
    for (const auto& [lemma, offsets] : index)
        text += lemma + " " + pos.left(1).toLatin1() + " " + QByteArray::number(offsets.size()) + " 1 @ " +
                QByteArray::number(offsets.size()) + " 0 " + offsets.join(' ') + "  \n";
    WriteFile(folder + "/index." + pos, text);
    WriteFile(folder + "/data." + pos, data);
}

}  // namespace

void WriteSmallWordNet(const QString& folder) {
    writeWordNetPart(folder, "noun",
                     {{"cat", "a feline"}, {"cat", "a whip"}, {"box", "a container"}, {"class", "a group"},
                      {"church", "a building"}, {"woman", "an adult female"}, {"lady", "a woman of rank"},
                      {"goose", "a bird"}, {"bus", "a vehicle"}, {"buse", "a made-up lemma"}, {"run", "a score"},
                      {"brave", "a warrior"}});
    writeWordNetPart(folder, "verb",
                     {{"run", "move fast"}, {"try", "attempt"}, {"make", "create"}, {"hope", "wish"},
                      {"walk", "go on foot"}, {"go", "move"}});
    writeWordNetPart(folder, "adj",
                     {{"large", "big"}, {"fast", "quick"}, {"nice", "pleasant"}, {"galore(ip)", "in plenty"},
                      {"brave", "courageous"}, {"brave", "showy"}});
    writeWordNetPart(folder, "adv", {{"fast", "quickly"}});
    WriteFile(folder + "/noun.exc", "geese goose\n");
    WriteFile(folder + "/verb.exc", "ran run\nwent go\n");
}

}  // namespace lexivo::test
