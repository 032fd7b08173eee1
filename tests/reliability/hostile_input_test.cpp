// Word lists and input made to break things: NUL bytes, a line of 100 MB (in `make stress`), a million commas;
// and words full of characters that mean something to SQL, to the LIKE of other engines, to shells or to
// Unicode. Such words are imported, found by every mode that should find them (and by no other), deleted, and
// exported byte for byte as they came in. (How the reader takes bytes that are not UTF-8, lone CR line ends and
// unbalanced quotes is the reader's tests' part.)

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTemporaryDir>

#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/word_editing.h"
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

    ImportResult import(const QByteArray& bytes) {
        const QString list = dir.filePath("list.txt");
        WriteFile(list, bytes);
        dialogs.clear();
        return ImportWords(
            db(), list, false, [] { return WordFilter(); }, run, dialogs);
    }
    QByteArray exportAll() {
        const QString out = dir.filePath("out.txt");
        const ExportResult result = ExportWords(
            db(), out, false, [] { return WordFilter(); }, run, dialogs);
        EXPECT_TRUE(result.ok()) << result.error.toStdString();
        return ReadFile(out);
    }
    // The words a mode lists, as the search driver runs it.
    QStringList search(SearchMode mode, const QString& input) {
        QStringList found;
        try {
            DriverSearch(db(), Request(mode, input), run, dialogs, [&](const QString& w) { found << w; });
        } catch (const Error& e) {
            ADD_FAILURE() << static_cast<int>(mode) << " of " << input.toStdString()
                          << " failed: " << e.message().toStdString();
        }
        return found;
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
    DatabaseState state;
    FakeRun run;
    ScriptedDialogs dialogs;
};

// A million and one blank items, counted, in bounded time.
TEST_F(HostileInput, AMillionCommas) {
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
    for (SearchMode mode : {SearchMode::Anagram, SearchMode::Mask, SearchMode::Synogram, SearchMode::Letters})
        EXPECT_EQ(search(mode, word), QStringList({word})) << static_cast<int>(mode);
    EXPECT_EQ(exportAll(), QByteArray("ab\0cd\r\nplain\r\n", 14));
    EXPECT_TRUE(DeleteWords(db(), {word}, dialogs).ok()) << dialogs.texts().join('\n').toStdString();
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
const QStringList kAwkward =
    QString::fromUtf8(
        "o'clock|rock'n'roll|''|say\"cheese\"|100%|%_%|snake_case|back\\slash|semi;colon|"
        "'; drop table dictionary; --|star*dust|what?|[bracket]|a[b]c|🙂smile|tea🍵|🙂x🙂|"
        "cafe\xCC\x81|noe\xCC\x88l|résumé|ß|ǆungla|x|ward|draw")
        .split('|');

TEST_F(HostileInput, AwkwardWordsAreImportedFoundDeletedAndExportedAsTheyCame) {
    const QByteArray list = WordListBytes(kAwkward);
    const ImportResult result = import(list);
    ASSERT_TRUE(result.ok()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(result.counts.imported, kAwkward.size());
    EXPECT_EQ(StoredWords(db()), kAwkward);

    for (const QString& word : kAwkward) {
        SCOPED_TRACE(word.toStdString());
        // The key modes lower-case their input; every one of these words is in lower case already.
        for (SearchMode mode : {SearchMode::Anagram, SearchMode::Synogram, SearchMode::Letters, SearchMode::Mask})
            EXPECT_TRUE(search(mode, word).contains(word)) << static_cast<int>(mode);
        EXPECT_EQ(search(SearchMode::Palindrome, QString()).contains(word), kAwkward.contains(ReverseString(word)));
        EXPECT_TRUE(search(SearchMode::Add, word).isEmpty());  // "Word already added!"
    }
    // What other engines' LIKE would take as wildcards is literal here.
    EXPECT_EQ(search(SearchMode::Mask, "100%"), QStringList({"100%"}));
    EXPECT_TRUE(search(SearchMode::Mask, "1__%").isEmpty());
    EXPECT_EQ(search(SearchMode::Mask, "%_%"), QStringList({"%_%"}));
    EXPECT_EQ(search(SearchMode::Mask, "*\\*"), QStringList({"back\\slash"}));
    // The dialect's own wildcards keep their meaning, also beside the awkward ones.
    EXPECT_EQ(search(SearchMode::Mask, "???%"), QStringList({"100%"}));
    EXPECT_EQ(search(SearchMode::Mask, "*'*").size(), 4);

    // Exported byte for byte: the same lines, in the order of the Word field.
    QList<QByteArray> lines = exportAll().split('\n');
    QList<QByteArray> expected = list.split('\n');
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);

    // Deleted: half from the Edit menu, half by find-and-delete.
    for (int i = 0; i < kAwkward.size(); ++i) {
        const QString& word = kAwkward[i];
        SCOPED_TRACE(word.toStdString());
        ScriptedDialogs deleteDialogs;
        if (i % 2 == 0) {
            EXPECT_EQ(DeleteWords(db(), {word}, deleteDialogs).rowsRemoved, 1);
        } else {
            Transaction transaction(db());
            FindAndDelete(db(), Request(SearchMode::Delete, word), deleteDialogs.yes());
            transaction.commit();
        }
        EXPECT_EQ(deleteDialogs.texts(), i % 2 == 0 ? QStringList() : QStringList({"Delete " + word}));
    }
    EXPECT_EQ(WordCount(db()), 0);
    EXPECT_EQ(IntegrityCheck(db()), "ok");
}

TEST_F(HostileInput, InputThatLooksLikeSqlChangesNothing) {
    import(WordListBytes({"tea", "eat", "ate"}));
    const QStringList attacks = QStringLiteral(
                                    "'; DELETE FROM Dictionary; --|' OR '1'='1|x' OR [Word] LIKE '*|"
                                    "\\'; DROP TABLE Dictionary; --|');|\"|'|''|[Word]")
                                    .split('|');
    for (const QString& input : attacks) {
        SCOPED_TRACE(input.toStdString());
        for (SearchMode mode : {SearchMode::Anagram, SearchMode::Synogram, SearchMode::Letters, SearchMode::Mask}) {
            const QStringList found = search(mode, input);
            EXPECT_TRUE(found.isEmpty() || mode == SearchMode::Letters) << found.join(',').toStdString();
        }
        EXPECT_TRUE(search(SearchMode::Delete, input).isEmpty());
    }
    EXPECT_EQ(StoredWords(db()), QStringList({"tea", "eat", "ate"}));
}

}  // namespace
}  // namespace lexivo
