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
#include "support/run_search.h"
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
    for (TestMode mode : {TestMode::Anagram, TestMode::Mask, TestMode::Synogram, TestMode::Letters})
        EXPECT_EQ(RunSearchForTest(db(), mode, word), QStringList({word})) << ModeName(mode);
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

}  // namespace
}  // namespace lexivo
