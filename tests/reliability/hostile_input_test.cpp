// Word lists and input made to break things: bytes that are not UTF-8, NUL bytes, a line of 100 MB (in
// `make stress`), lone CR line ends, unbalanced quotes, a million commas; and words full of characters that mean
// something to SQL, to the LIKE of other engines, to shells or to Unicode. Such words are imported, found by
// every mode that should find them (and by no other), deleted, and exported byte for byte as they came in.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "reliability/reliability_support.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "store/current_database.h"
#include "store/word_editing.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class HostileInput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        CreateWordDatabase(path);
        OpenWordDatabase(state, path);
    }
    Connection& db() { return state.CurrentDatabase; }

    ImportResult import(const QByteArray& bytes, bool append = false) {
        const QString list = dir.filePath("list.txt");
        WriteFile(list, bytes);
        dialogs.clear();
        return ImportWords(
            db(), list, append, [] { return WordFilter(); }, run, dialogs);
    }
    QByteArray exportAll() {
        const QString out = dir.filePath("out.txt");
        ScriptedDialogs exportDialogs;
        FakeRun exportRun;
        const ExportResult result = ExportWords(
            db(), out, false, [] { return WordFilter(); }, exportRun, exportDialogs);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        return FileBytes(out);
    }
    // The words a mode lists, as the search driver runs it.
    QStringList search(const QString& mode, const QString& input) {
        QStringList found;
        CallbackSink sink([&](const QString& w) { found << w; });
        ScriptedDialogs searchDialogs;
        FakeRun searchRun;
        searchRun.beginRun(kStartingSearch);
        try {
            Transaction transaction(db());
            RunSearchMode(db(), {mode, input, QString(), OrderClause(false)}, searchRun, searchDialogs, sink);
            transaction.commit();
        } catch (const Error& e) {
            ADD_FAILURE() << mode.toStdString() << " of " << input.toStdString()
                          << " failed: " << e.message().toStdString();
        }
        searchRun.endRun();
        return found;
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
    DatabaseState state;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(HostileInput, ListsThatAreNotCleanText) {
    // Not UTF-8: the whole file reads as code page 1252.
    import("caf\xE9\r\nna\xEFve\r\n\x80uro\r\n");
    EXPECT_EQ(StoredWords(db()), QStringList({"café", "naïve", "€uro"}));

    // Lone CR line ends, an unbalanced quote (it ends at the line end), a quoted comma.
    import("one\rtwo\r\"three\rfour,\"five,six\"\rseven");
    EXPECT_EQ(StoredWords(db()), QStringList({"one", "two", "three", "four", "five,six", "seven"}));

    // A million commas: a million and one blank items, counted, in bounded time.
    QElapsedTimer timer;
    timer.start();
    const ImportResult commas = import(QByteArray(1000000, ','));
    EXPECT_TRUE(commas.ok());
    EXPECT_EQ(commas.counts.blanks, 1000001);
    EXPECT_EQ(commas.counts.imported, 0);
    EXPECT_LT(timer.elapsed(), 30000);
    EXPECT_EQ(WordCount(db()), 0);
}

TEST_F(HostileInput, NulBytesMakeWordsThatCanStillBeFoundAndDeleted) {
    const QString word = QString::fromUtf8("ab\0cd", 5);
    import(QByteArray("ab\0cd\r\nplain\r\n", 14));
    EXPECT_EQ(StoredWords(db()), QStringList({word, "plain"}));
    EXPECT_EQ(search(kModeAnagram, word), QStringList({word}));
    EXPECT_EQ(search(kModeMask, word), QStringList({word}));
    EXPECT_EQ(search(kModeSynogram, word), QStringList({word}));
    EXPECT_EQ(search(kModeLetters, word), QStringList({word}));
    EXPECT_EQ(exportAll(), QByteArray("ab\0cd\r\nplain\r\n", 14));
    ScriptedDialogs deleteDialogs;
    EXPECT_TRUE(DeleteWords(db(), {word}, deleteDialogs).ok()) << deleteDialogs.texts().join('\n').toStdString();
    EXPECT_EQ(StoredWords(db()), QStringList({"plain"}));
}

TEST_F(HostileInput, AHundredMegabyteLine) {
    if (!StressRun()) GTEST_SKIP() << "in make stress only";
    QByteArray bytes = "before\r\n";
    bytes += QByteArray(100 * 1024 * 1024, 'x');
    bytes += "\r\nafter\r\n";
    const ImportResult result = import(bytes);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.counts.tooLong, 1);
    EXPECT_EQ(StoredWords(db()), QStringList({"before", "after"}));
    std::printf("[ figure ] a 100 MB line: imported the words around it, counted it too long\n");
}

// Words whose characters mean something elsewhere: quotes and semicolons to SQL, "%" and "_" to the LIKE of other
// engines, "\" to escapes, "*" "?" "[" to wildcards, and characters beyond the basic plane or combined with marks.
const QStringList kAwkward = {
    "o'clock",
    "rock'n'roll",
    "''",
    "say\"cheese\"",
    "100%",
    "%_%",
    "snake_case",
    "back\\slash",
    "semi;colon",
    "'; drop table dictionary; --",
    "star*dust",
    "what?",
    "[bracket]",
    "a[b]c",
    "🙂smile",
    "tea🍵",
    "🙂x🙂",
    QString::fromUtf8("cafe\xCC\x81"),
    QString::fromUtf8("noe\xCC\x88l"),
    "résumé",
    "ß",
    "ǆungla",
    "x",
    "ward",
    "draw",
};

TEST_F(HostileInput, AwkwardWordsAreImportedFoundDeletedAndExportedAsTheyCame) {
    const QByteArray list = WordListBytes(kAwkward);
    const ImportResult result = import(list);
    ASSERT_TRUE(result.ok()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(result.counts.imported, kAwkward.size());
    EXPECT_EQ(StoredWords(db()), kAwkward);

    int found = 0;
    for (const QString& word : kAwkward) {
        SCOPED_TRACE(word.toStdString());
        // The key modes lower-case their input; every one of these words is in lower case already.
        EXPECT_TRUE(search(kModeAnagram, word).contains(word));
        EXPECT_TRUE(search(kModeSynogram, word).contains(word));
        EXPECT_TRUE(search(kModeLetters, word).contains(word));
        EXPECT_TRUE(search(kModeMask, word).contains(word));
        const bool reversalStored = kAwkward.contains(ReverseString(word));
        EXPECT_EQ(search(kModePalindrome, QString()).contains(word), reversalStored);
        EXPECT_TRUE(search(kModeAdd, word).isEmpty());  // "Word already added!"
        ++found;
    }
    // What other engines' LIKE would take as wildcards is literal here.
    EXPECT_EQ(search(kModeMask, "100%"), QStringList({"100%"}));
    EXPECT_TRUE(search(kModeMask, "1__%").isEmpty());
    EXPECT_EQ(search(kModeMask, "%_%"), QStringList({"%_%"}));
    EXPECT_EQ(search(kModeMask, "*\\*"), QStringList({"back\\slash"}));
    // The dialect's own wildcards keep their meaning, also beside the awkward ones.
    EXPECT_EQ(search(kModeMask, "???%"), QStringList({"100%"}));
    EXPECT_EQ(search(kModeMask, "*'*").size(), 4);

    // Exported byte for byte: the same lines, in the order of the Word field.
    const QByteArray exported = exportAll();
    QList<QByteArray> lines = exported.split('\n');
    ASSERT_EQ(lines.takeLast(), QByteArray());
    QList<QByteArray> expected = list.split('\n');
    expected.removeLast();
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    // ... and read back into an empty database as the same words.
    import(exported);
    QStringList reread = StoredWords(db());
    QStringList sorted = kAwkward;
    std::sort(reread.begin(), reread.end());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(reread, sorted);

    // Deleted: half from the Edit menu, half by find-and-delete.
    for (int i = 0; i < kAwkward.size(); ++i) {
        const QString& word = kAwkward[i];
        SCOPED_TRACE(word.toStdString());
        if (i % 2 == 0) {
            ScriptedDialogs deleteDialogs;
            const DeleteResult deleted = DeleteWords(db(), {word}, deleteDialogs);
            EXPECT_TRUE(deleted.ok()) << deleted.error.toStdString();
            EXPECT_EQ(deleted.rowsRemoved, 1);
        } else {
            ScriptedDialogs deleteDialogs;
            deleteDialogs.yes();
            Transaction transaction(db());
            FindAndDelete(db(), word, OrderClause(false), deleteDialogs);
            transaction.commit();
            EXPECT_EQ(deleteDialogs.texts(), QStringList({"Delete " + word}));
        }
    }
    EXPECT_EQ(WordCount(db()), 0);
    EXPECT_EQ(IntegrityCheck(db()), "ok");
    std::printf("[ figure ] awkward words: %d/%d imported, found by every mode, deleted and exported byte for byte\n",
                found, static_cast<int>(kAwkward.size()));
}

TEST_F(HostileInput, InputThatLooksLikeSqlChangesNothing) {
    import(WordListBytes({"tea", "eat", "ate"}));
    const QStringList attacks = {"'; DELETE FROM Dictionary; --",
                                 "' OR '1'='1",
                                 "x' OR [Word] LIKE '*",
                                 "\\'; DROP TABLE Dictionary; --",
                                 "');",
                                 "\"",
                                 "'",
                                 "''",
                                 "[Word]"};
    for (const QString& input : attacks) {
        SCOPED_TRACE(input.toStdString());
        for (const QString& mode : {kModeAnagram, kModeSynogram, kModeLetters, kModeMask}) {
            const QStringList found = search(mode, input);
            EXPECT_TRUE(found.isEmpty() || mode == kModeLetters) << found.join(',').toStdString();
        }
        EXPECT_TRUE(search(kModeDelete, input).isEmpty());
    }
    EXPECT_EQ(StoredWords(db()), QStringList({"tea", "eat", "ate"}));
}

}  // namespace
}  // namespace lexivo
