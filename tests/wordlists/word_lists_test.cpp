// The word filter, the list reader, the import and the export.

#include <gtest/gtest.h>

#include <QtCore>

#include "common/leading_number.h"
#include "store/engine.h"
#include "store/error.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"
#include "wordlists/export.h"
#include "wordlists/import.h"
#include "wordlists/word_filter.h"
#include "wordlists/word_list_reader.h"

namespace lexivo::test {
namespace {

WordFilter Make(bool minimumOn, double minimum, bool maximumOn, double maximum, const QString& remove = {},
                const QString& ignore = {}) {
    WordFilter filter;
    filter.minimumOn = minimumOn;
    filter.minimum = minimum;
    filter.maximumOn = maximumOn;
    filter.maximum = maximum;
    filter.removeOn = !remove.isEmpty();
    filter.remove = remove;
    filter.ignoreOn = !ignore.isEmpty();
    filter.ignore = ignore;
    return filter;
}
WordFilter Removing(const QString& characters) {
    return Make(false, 0, false, 0, characters);
}
WordFilter Ignoring(const QString& characters) {
    return Make(false, 0, false, 0, {}, characters);
}

// Lengths count code points before removal; each listed character removes one occurrence, in typed order.
TEST(WordFilter, Cases) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString otherEmoji = QString::fromUtf8("\xF0\x9F\x98\x81");  // shares the high surrogate
    const QString decomposed = QString::fromUtf8("cafe\xCC\x81");
    const struct {
        WordFilter filter;
        QString word;
        bool include;
        QString result;
    } cases[] = {{Make(true, 2.5, false, 0), "ab", false, "ab"},
                 {Make(true, 2.5, false, 0), "abc", true, "abc"},
                 {Make(false, 10, false, 1), "word", true, "word"},
                 {Make(true, LeadingNumber("three"), false, 0), "", true, ""},
                 {Make(false, 0, true, 5, "-"), "ice-cr", false, "icecr"},
                 {Make(true, 5, false, 0, "-"), "a-b-c", true, "ab-c"},
                 {Removing("--"), "a-b-c", true, "abc"},
                 {Removing("-"), "-", true, ""},
                 {Removing("A"), "banana", true, "banana"},
                 {Removing("ab"), "bab", true, "b"},
                 {Removing("ba"), "bab", true, "b"},
                 {Ignoring("'"), "don't", false, "don't"},
                 {Ignoring("Q"), "quiz", true, "quiz"},
                 {Ignoring("Q"), "Quiz", false, "Quiz"},
                 {Make(false, 0, false, 0, "-", "-"), "ice-cream", false, "icecream"},
                 {Make(false, 0, true, 3), "ab" + emoji, true, "ab" + emoji},
                 {Make(true, 4, false, 0), "ab" + emoji, false, "ab" + emoji},
                 {Make(false, 0, true, 4), decomposed, false, decomposed},
                 {Removing(QString::fromUtf8("\xCC\x81")), decomposed, true, "cafe"},
                 {Removing("e"), decomposed, true, QString::fromUtf8("caf\xCC\x81")},
                 {Removing(emoji), "a" + emoji + "b" + emoji, true, "ab" + emoji},
                 {Removing(otherEmoji), "a" + emoji, true, "a" + emoji}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word.toStdString());
        QString word = c.word;
        EXPECT_EQ(c.filter.apply(word), c.include);
        EXPECT_EQ(word, c.result);
    }
}

TEST(WordFilter, ApplyCharactersSkipsTheLengthLimits) {
    QString word = "a-b";
    EXPECT_TRUE(Make(true, 10, true, 1, "-").applyCharacters(word));
    EXPECT_EQ(word, "ab");
    word = "a-b";
    EXPECT_FALSE(Make(true, 10, true, 1, "-", "b").applyCharacters(word));
    EXPECT_EQ(word, "ab");
}

QStringList ReadAll(WordListReader& reader) {
    QStringList items;
    while (!reader.atEnd()) items << reader.next();
    return items;
}

QStringList Items(const QByteArray& bytes) {
    WordListReader reader = WordListReader::fromBytes(bytes);
    return ReadAll(reader);
}

// Items end at a comma or any line end, untrimmed; an opening quote protects commas up to its close or the line end.
TEST(WordListReader, SplitsIntoItems) {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"apple\n\rpear", {"apple", "", "pear"}},
        {"", {}},
        {"\r\n", {""}},

        {"a,\r\nb", {"a", "", "b"}},
        {",", {"", ""}},
        {"a,,b", {"a", "", "b"}},
        {"  apple  ,\tpear\r\n", {"  apple  ", "\tpear"}},
        {"\"a,b\",c\r\n", {"a,b", "c"}},
        {"  \"spaced\"  \r\n", {"spaced"}},
        {"\"\"\r\nx", {"", "x"}},
        {"\"ice\"cream,x\r\n", {"ice", "x"}},
        {"it\"s,x", {"it\"s", "x"}},
        {"\"open, still open\r\nnext\r\n", {"open, still open", "next"}},
        {"\"open", {"open"}},
        {"\"", {""}}};
    for (const auto& [bytes, items] : cases) EXPECT_EQ(Items(bytes), items) << bytes.toStdString();
}

TEST(WordListReader, MalformedUtf8FormsAreNotUtf8) {
    // Overlong forms, a surrogate, past U+10FFFF, no such lead byte, cut short, a lone continuation byte.
    for (const char* bytes : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                              "\xE2\x82", "\xE2\x82x", "\xA9"})
        EXPECT_FALSE(WordListReader::fromBytes(bytes).isUtf8()) << QByteArray(bytes).toHex().constData();

    EXPECT_TRUE(WordListReader::fromBytes("\xF4\x8F\xBF\xBF\xEF\xBF\xBF\xDF\xBF").isUtf8());
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { useDatabase({}); }
    void useDatabase(const QStringList& words) {
        const QString path = dir.filePath(QStringLiteral("words%1.mdb").arg(words.size()));
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
    ImportResult importFile(const QString& list, bool append = false) {
        return ImportWords(
            db(), list, append, [&] { return filter; }, run, dialogs);
    }
    ImportResult import(const QByteArray& bytes, bool append = false) {
        test::WriteFile(dir.filePath("list.txt"), bytes);
        return importFile(dir.filePath("list.txt"), append);
    }
    Connection& db() { return state.CurrentDatabase; }
    ExportResult exportWords(const QString& file, bool append = false) {
        return ExportWords(
            state.CurrentDatabase, file, append, [&] { return filter; }, run, dialogs);
    }
    ExportResult exportSelection(const QStringList& words, const QString& file, bool append = false) {
        return ExportSelection(
            words, file, append, [&] { return filter; }, run, dialogs);
    }

    QTemporaryDir dir;
    DatabaseState state;
    WordFilter filter;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(ListTest, StopKeepsTheWordsStoredSoFar) {
    run.stopAtRecord = 2;
    const auto result = import("one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(StoredWords(db()), QStringList({"one", "two"}));
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 2 words imported,0 duplicates skipped, 0, blanks skipped.");
    EXPECT_FALSE(db().inTransaction());
    const QStringList indexes = db().indexNames("Dictionary");
    EXPECT_TRUE(indexes.contains("Word") && indexes.contains("Sorted") && indexes.contains("Letters"));
}

TEST_F(ListTest, FilterChangesApplyFromTheNextItem) {
    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    import("ax\r\nbx\r\ncx\r\n");
    EXPECT_EQ(StoredWords(db()), QStringList({"ax"}));
}

TEST_F(ListTest, StopEndsTheFileAfterTheLastWordWritten) {
    useDatabase({"a", "b", "c", "d"});
    const QString file = dir.filePath("out.txt");
    WriteFile(file, "old content\r\n");
    run.stopAtRecord = 2;
    const auto result = exportWords(file);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(ReadFile(file), "a\r\nb\r\n");
    EXPECT_EQ(dialogs.texts(), QStringList({"Export Complete."}));
    EXPECT_EQ(run.ends, 1);  // the window is back to idle
}

TEST_F(ListTest, SelectionInListOrderWithTheWholeFilterAndNoEntryLimit) {
    filter = Make(true, LeadingNumber("3 or more"), true, 5, "x");
    const QString file = dir.filePath("out.txt");
    exportSelection({"zoo", "at", "apple", "bananas", "boxes"}, file);
    EXPECT_EQ(ReadFile(file), "zoo\r\napple\r\nboes\r\n");

    QStringList many;
    for (int i = 0; i < 40000; ++i) many << QString::number(i);
    filter = {};
    const auto result = exportSelection(many, file);
    EXPECT_EQ(result.written, 40000);
    EXPECT_TRUE(ReadFile(file).endsWith("\r\n39998\r\n39999\r\n"));

    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    exportSelection({"ax", "bx", "c"}, file);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\n");
    // Appended, or written even when empty.
    exportSelection({}, file, true);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\n");
    exportSelection({"three"}, file, true);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\nthree\r\n");
    exportSelection({}, dir.filePath("fresh.txt"));
    EXPECT_TRUE(QFile::exists(dir.filePath("fresh.txt")));
    EXPECT_EQ(dialogs.texts(), QStringList(6, "Export Complete."));
}

}  // namespace
}  // namespace lexivo::test
