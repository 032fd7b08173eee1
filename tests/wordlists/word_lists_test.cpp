// The word filter, the list reader, the import and the export.

#include <gtest/gtest.h>

#include <QtCore>
#include <cmath>

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

// The lengths are taken before anything is removed and count code points; a limit compares as the number it is
// (a box without a number counts as zero) and does nothing unless ticked. Each listed character removes one
// occurrence, in typed order, each step seeing the word the previous one left; a word emptied so is still
// included (the import counts it as blank). The ignore test sees the word before removal, which still happens.
TEST(WordFilter, Cases) {
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");       // one code point, two UTF-16 units
    const QString otherEmoji = QString::fromUtf8("\xF0\x9F\x98\x81");  // shares the high surrogate
    const QString decomposed = QString::fromUtf8("cafe\xCC\x81");      // e and a combining acute accent
    const struct {
        WordFilter filter;
        QString word;
        bool include;
        QString result;
    } cases[] = {{Make(true, 2.5, false, 0), "ab", false, "ab"},
                 {Make(true, 2.5, false, 0), "abc", true, "abc"},
                 {Make(false, 10, false, 1), "word", true, "word"},
                 {Make(true, LeadingNumber("three"), false, 0), "", true, ""},
                 {Make(false, 0, true, LeadingNumber("five")), "a", false, "a"},
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
                 {Ignoring(otherEmoji), "a" + emoji, true, "a" + emoji},
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

// Items end at a comma or at any line end (LF CR is two); they are not trimmed. A quote that opens an item
// protects commas up to the closing quote or the line end, and whatever follows it up to the separator is
// dropped; a quote elsewhere is part of the item.
TEST(WordListReader, SplitsIntoItems) {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"apple\r\npear\r\nplum\r\n", {"apple", "pear", "plum"}},
        {"apple\npear\rplum", {"apple", "pear", "plum"}},
        {"apple\n\rpear", {"apple", "", "pear"}},
        {"", {}},
        {"\r\n", {""}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
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
    for (const QByteArray& bytes : {
             QByteArray("\xC0\xAF"),          // overlong "/"
             QByteArray("\xE0\x80\xAF"),      // overlong, three bytes
             QByteArray("\xED\xA0\x80"),      // a surrogate
             QByteArray("\xF4\x90\x80\x80"),  // above U+10FFFF
             QByteArray("\xF5\x80\x80\x80"),  // no such lead byte
             QByteArray("\xE2\x82"),          // cut short at the end of the file
             QByteArray("\xE2\x82x"),         // cut short by an ASCII byte
             QByteArray("\xA9"),              // a lone continuation byte
         }) {
        EXPECT_FALSE(WordListReader::fromBytes(bytes).isUtf8()) << bytes.toHex().constData();
    }
    EXPECT_TRUE(WordListReader::fromBytes("\xF4\x8F\xBF\xBF\xEF\xBF\xBF\xDF\xBF").isUtf8());
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        dbPath = dir.filePath("words.mdb");
        test::CreateWordDatabase(dbPath);
        test::OpenWordDatabase(state, dbPath);
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

    QTemporaryDir dir;
    QString dbPath;
    DatabaseState state;
    WordFilter filter;
    FakeRun run;
    ScriptedDialogs dialogs;
};

TEST_F(ImportTest, StopKeepsTheWordsStoredSoFar) {
    run.stopAtRecord = 2;
    const auto result = import("one\r\ntwo\r\nthree\r\nfour\r\n");
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(StoredWords(db()), QStringList({"one", "two"}));
    EXPECT_EQ(dialogs.lastText(), "Import Complete. 2 words imported,0 duplicates skipped, 0, blanks skipped.");
    EXPECT_FALSE(db().inTransaction());
    // The key indexes, built at the end of a replacing import, are there after a stop too.
    const QStringList indexes = db().indexNames("Dictionary");
    EXPECT_TRUE(indexes.contains("Word") && indexes.contains("Sorted") && indexes.contains("Letters"));
}

TEST_F(ImportTest, FilterChangesApplyFromTheNextItem) {
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

TEST_F(ImportTest, UnreadableListLeavesTheTableAlone) {
    import("keep\r\n");
    EXPECT_FALSE(importFile(dir.filePath("missing.txt")).ok());
    EXPECT_EQ(dialogs.shown().back().kind, ScriptedDialogs::Kind::Failure);
    EXPECT_TRUE(dialogs.lastText().contains("missing.txt")) << dialogs.lastText().toStdString();
    EXPECT_EQ(StoredWords(db()), QStringList({"keep"}));
    EXPECT_TRUE(run.stopFlag());
    EXPECT_EQ(run.ends, 2);
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void useDatabase(const QStringList& words) {
        const QString path = dir.filePath("words.mdb");
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
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

// Appending adds to the file; replacing starts it afresh. With nothing to write the file is still made.
TEST_F(ExportTest, AppendOrReplace) {
    useDatabase({"one", "two"});
    const QString file = dir.filePath("out.txt");
    WriteFile(file, "old\r\n");
    exportWords(file, true);
    exportSelection({"three"}, file, true);
    exportSelection({}, file, true);
    EXPECT_EQ(ReadFile(file), "old\r\none\r\ntwo\r\nthree\r\n");
    exportWords(file);
    EXPECT_EQ(ReadFile(file), "one\r\ntwo\r\n");
    const QString fresh = dir.filePath("fresh.txt");
    exportSelection({}, fresh);
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_EQ(dialogs.texts(), QStringList(5, "Export Complete."));
}

TEST_F(ExportTest, StopEndsTheFileAfterTheLastWordWritten) {
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

TEST_F(ExportTest, SelectionInListOrderWithTheWholeFilterAndNoEntryLimit) {
    filter = Make(true, LeadingNumber("3 or more"), true, 5, "x");
    const QString file = dir.filePath("out.txt");
    exportSelection({"zoo", "at", "apple", "bananas", "boxes"}, file);
    // On the selection the length limits see the word before anything is removed.
    EXPECT_EQ(ReadFile(file), "zoo\r\napple\r\nboes\r\n");

    QStringList many;
    for (int i = 0; i < 40000; ++i) many << QString::number(i);
    filter = {};
    const auto result = exportSelection(many, file);
    EXPECT_EQ(result.written, 40000);
    EXPECT_TRUE(ReadFile(file).endsWith("\r\n39998\r\n39999\r\n"));

    // A change of the filter during the run applies from the next word.
    int calls = 0;
    run.onEvents = [&] {
        if (++calls == 1) {
            filter.ignoreOn = true;
            filter.ignore = "x";
        }
    };
    exportSelection({"ax", "bx", "c"}, file);
    EXPECT_EQ(ReadFile(file), "ax\r\nc\r\n");
}

}  // namespace
}  // namespace lexivo::test
