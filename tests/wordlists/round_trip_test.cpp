// Round trips on random words: writer to reader, an export's words, and an import's words, keys and counts.

#include <gtest/gtest.h>

#include <QtCore>
#include <memory>

#include "store/current_database.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"
#include "wordlists/export.h"
#include "wordlists/import.h"
#include "wordlists/word_filter.h"
#include "wordlists/word_list_reader.h"
#include "wordlists/word_list_writer.h"

namespace lexivo::test {
namespace {

QStringList ReadItems(WordListReader reader) {
    QStringList items;
    while (!reader.atEnd()) items << reader.next();
    return items;
}

QStringList ListableWords(std::mt19937& random, int count) {
    QStringList words;
    for (QString w : RandomWords(random, count * 2)) {
        w.remove(QLatin1Char(','));
        if (!w.isEmpty() && !w.startsWith(QLatin1Char('"')) && words.size() < count) words << w;
    }
    return words;
}

TEST(RoundTrip, WhatTheWriterWritesTheReaderReads) {
    std::mt19937 random(5);
    QTemporaryDir dir;
    for (int trial = 0; trial < 20; ++trial) {
        SCOPED_TRACE(trial);
        const QStringList words = ListableWords(random, 1 + static_cast<int>(random() % 300));
        const QString path = dir.filePath(QStringLiteral("list%1.txt").arg(trial));
        const bool append = trial % 3 == 2;
        WordListWriter writer;
        ASSERT_TRUE(writer.open(path, append));
        for (const QString& w : words) ASSERT_TRUE(writer.writeLine(w));
        ASSERT_TRUE(writer.finish()) << writer.errorString().toStdString();
        const QByteArray bytes = ReadFile(path);
        EXPECT_TRUE(bytes.endsWith("\r\n"));
        const QStringList read = ReadItems(WordListReader(path));
        EXPECT_EQ(read, words);
        EXPECT_EQ(ReadItems(WordListReader::fromBytes("\xEF\xBB\xBF" + bytes)), words);  // a byte order mark
        for (const char* end : {"\n", "\r"}) {
            QByteArray other = bytes;
            EXPECT_EQ(ReadItems(WordListReader::fromBytes(other.replace("\r\n", end))), words);
        }
        QStringList latin;
        for (const QString& w : words)
            if (std::all_of(w.begin(), w.end(), [](QChar c) { return c.unicode() < 0x100 && c.unicode() >= 0xA0; }) ||
                std::all_of(w.begin(), w.end(), [](QChar c) { return c.unicode() < 0x80; }))
                latin << w;
        latin << QString::fromUtf8("\xC3\xA9t\xC3\xA9");  // été: one byte per character, not UTF-8
        QStringEncoder cp1252("windows-1252");
        EXPECT_EQ(ReadItems(WordListReader::fromBytes(cp1252.encode(latin.join("\r\n")))), latin);
    }
}

class DatabaseRoundTrip : public ::testing::Test {
protected:
    void load(const QStringList& words) {
        const QString path = dir.filePath(QStringLiteral("w%1.mdb").arg(++made));
        CreateWordDatabase(path, words);
        state = std::make_unique<DatabaseState>();
        OpenWordDatabase(*state, path);
    }
    Connection& db() { return state->CurrentDatabase; }
    ImportResult import(const QString& list, bool append, const WordFilter& f = {}) {
        dialogs.clear();
        return ImportWords(
            db(), list, append, [&] { return f; }, run, dialogs);
    }

    QTemporaryDir dir;
    int made = 0;
    std::unique_ptr<DatabaseState> state;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(DatabaseRoundTrip, ExportWritesTheWordsWithinTheLimits) {
    std::mt19937 random(8);
    for (int trial = 0; trial < 8; ++trial) {
        SCOPED_TRACE(trial);
        QStringList words;
        for (const QString& w : ListableWords(random, 300))
            if (std::none_of(words.begin(), words.end(), [&](const QString& v) { return ReferenceEqual(v, w); }))
                words << w;
        load(words);
        WordFilter limits;
        limits.minimumOn = random() % 2;
        limits.minimum = static_cast<double>(random() % 4);
        limits.maximumOn = random() % 2;
        limits.maximum = limits.minimum + static_cast<double>(random() % 4);
        QStringList kept;
        for (const QString& w : words) {
            const int n = ReferenceLength(w);
            if ((!limits.minimumOn || n >= limits.minimum) && (!limits.maximumOn || n <= limits.maximum)) kept << w;
        }
        const QString list = dir.filePath("export.txt");
        ASSERT_TRUE(ExportWords(
                        db(), list, false, [&] { return limits; }, run, dialogs)
                        .ok());
        EXPECT_EQ(dialogs.lastText(), "Export Complete.");
        const QStringList exported = ReadItems(WordListReader(list));
        ExpectSameResults(exported, kept, false);
    }
}

TEST_F(DatabaseRoundTrip, ImportStoresEachWordOnceAndCountsTheRest) {
    std::mt19937 random(13);
    for (int trial = 0; trial < 10; ++trial) {
        SCOPED_TRACE(trial);
        const bool append = trial % 2;
        const QStringList earlier = ListableWords(random, 20);
        QStringList stored, unique;
        for (const QString& w : earlier)
            if (std::none_of(stored.begin(), stored.end(), [&](const QString& v) { return ReferenceEqual(v, w); }))
                stored << w;
        load(stored);
        QStringList items = ListableWords(random, 200);
        for (int i = 0; i < 30; ++i) items.insert(static_cast<qsizetype>(random() % items.size()), QString());
        for (int i = 0; i < 30; ++i)
            if (const QString w = Scramble(random, items[random() % items.size()]).toUpper(); !w.startsWith('"'))
                items << w;
        items << earlier.mid(0, 5) << QString(256, QLatin1Char('x')) << QString(255, QLatin1Char('y'));
        QByteArray bytes;
        ImportCounts expected;
        QStringList model = append ? stored : QStringList();
        for (const QString& item : items) {
            bytes += (random() % 4 == 0 ? "  " + item + " " : item).toUtf8() + "\r\n";
            if (item.isEmpty())
                ++expected.blanks;
            else if (ReferenceLength(item) > 255)
                ++expected.tooLong;
            else if (std::any_of(model.begin(), model.end(), [&](const QString& v) { return ReferenceEqual(v, item); }))
                ++expected.duplicates;
            else
                ++expected.imported, model << item;
        }
        WriteFile(dir.filePath("list.txt"), bytes);
        EXPECT_TRUE(import(dir.filePath("list.txt"), append).ok());
        EXPECT_EQ(StoredWords(db()), model);
        for (const QString& w : model.mid(0, 20))
            EXPECT_EQ(StoredKeys(db(), w), ReferenceSorted(w) + "|" + ReferenceLetters(w));

        EXPECT_EQ(dialogs.lastText(),
                  QStringLiteral("Import Complete. %1 words imported,%2 duplicates skipped, %3, blanks skipped. %4 too "
                                 "long skipped.")
                      .arg(expected.imported)
                      .arg(expected.duplicates)
                      .arg(expected.blanks)
                      .arg(expected.tooLong));
    }
}

}  // namespace
}  // namespace lexivo::test
