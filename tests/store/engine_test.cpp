#include "store/engine.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/like_matcher.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::CreateWordDatabase;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        CreateWordDatabase(
            path, {"tea", "eat", "Ate", "teas", "c'est", "100%", "a_b", "x*y", "q?r", QString::fromUtf8("Éclair")});
        db = Connection::open(path);
    }
    QStringList query(const QString& sql) {
        QStringList words;
        Cursor cursor(db, sql);
        cursor.moveLast();
        for (cursor.moveFirst(); !cursor.eof(); cursor.moveNext()) words << cursor.text("Word");
        return words;
    }
    QTemporaryDir dir;
    QString path;
    Connection db;
};

TEST(LikeMatcher, Wildcards) {
    EXPECT_TRUE(LikeMatch("c??k", "cook"));
    EXPECT_FALSE(LikeMatch("c??k", "cooks"));
    EXPECT_TRUE(LikeMatch("*", ""));
    EXPECT_TRUE(LikeMatch("c*", "c"));
    EXPECT_TRUE(LikeMatch("*t*c*a*", "tcxa"));
    EXPECT_FALSE(LikeMatch("*t*c*a*", "tac"));
    EXPECT_TRUE(LikeMatch("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(LikeMatch("a*b*c", "aXbYbZ"));
    // Every other character is literal, including the other engines' wildcards.
    EXPECT_TRUE(LikeMatch("100%", "100%"));
    EXPECT_FALSE(LikeMatch("10%", "100"));
    EXPECT_FALSE(LikeMatch("a_c", "abc"));
    EXPECT_FALSE(LikeMatch("[ab]", "a"));
    EXPECT_TRUE(LikeMatch("[ab]", "[AB]"));
}

TEST(LikeMatcher, CaseAndUnicode) {
    EXPECT_TRUE(LikeMatch("C@@K", "c@@k"));
    EXPECT_TRUE(LikeMatch("cook", "COOK"));
    EXPECT_TRUE(LikeMatch("\xC3\xA9*",
                          "\xC3\x89"
                          "clair"));                  // é matches É
    EXPECT_TRUE(LikeMatch("?", "\xF0\x9F\x98\x80"));  // one emoji is one character
    EXPECT_FALSE(LikeMatch("??", "\xF0\x9F\x98\x80"));
    EXPECT_TRUE(LikeMatch("?", "\xFF"));  // an invalid byte counts as one character
    // Many stars never take exponential time.
    EXPECT_FALSE(LikeMatch(std::string(200, '*') + "b", std::string(5000, 'a')));
}

TEST_F(EngineTest, DialectFunctions) {
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE 'T?\?' ORDER BY [Word]"), QStringList({"tea"}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '?A?' ORDER BY [Word]"), QStringList({"eat"}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE LEN([Word])=6 ORDER BY [Word]"),
              QStringList({QString::fromUtf8("Éclair")}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '*%' ORDER BY [Word]"), QStringList({"100%"}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE 'a_b'"), QStringList({"a_b"}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE '?*?' AND LEN([Word]) BETWEEN 3 AND 3 "
                    "ORDER BY LEN([Word]),[Word]"),
              QStringList({"a_b", "Ate", "eat", "q?r", "tea", "x*y"}));
    // Equality ignores the case of A-Z, as the Word index does.
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word]='ATE'"), QStringList({"Ate"}));
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word]='c''est'"), QStringList({"c'est"}));
}

TEST_F(EngineTest, RowCallbackSeesEachRowAndPassesExceptionsThrough) {
    {
        QStringList seen;
        RowCallback keep(db, "Keep", 2, [&seen](const RowCallback::Arguments& row) {
            seen << row[0].value_or("(null)") + '|' + row[1].value_or("(null)");
            return row[0] == QStringLiteral("tea");
        });
        db.execute("UPDATE [Dictionary] SET [Letters]=NULL WHERE [Word]='eat'");
        keep.execute(
            "UPDATE [Dictionary] SET [Sorted]=SortString(UPPER([Word])), [Letters]=UniqueChars('aab') "
            "WHERE Keep([Word],[Letters])");
        EXPECT_EQ(seen.size(), 10);
        EXPECT_TRUE(seen.contains("eat|(null)"));
        EXPECT_EQ(db.changes(), 1);
        EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Sorted]='TEA' AND [Letters]='ab'"),
                  QStringList({"tea"}));

        struct Refused {};
        RowCallback fail(db, "Fail", 1, [](const RowCallback::Arguments&) -> bool { throw Refused{}; });
        EXPECT_THROW(fail.execute("UPDATE [Dictionary] SET [Sorted]='x' WHERE Fail([Word])"), Refused);
        EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM [Dictionary] WHERE [Sorted]='x'"), 0);
    }
    // Gone with the object: a statement can no longer call it.
    EXPECT_THROW(db.execute("UPDATE [Dictionary] SET [Sorted]='x' WHERE Keep([Word],[Letters])"), Error);
}

TEST_F(EngineTest, DeleteStarAndQuotes) {
    EXPECT_EQ(Connection::adapt("DELETE * FROM Dictionary"), "DELETE FROM Dictionary");
    EXPECT_EQ(Connection::adapt("SELECT * FROM [Dictionary]"), "SELECT * FROM [Dictionary]");
    db.execute("DELETE * FROM [Dictionary] WHERE [Word] = '" + EscapeQuotes("c'est") + "'");
    EXPECT_EQ(query("SELECT [Word] FROM [Dictionary] WHERE [Word] LIKE 'c*'"), QStringList());
    db.execute("DELETE * FROM Dictionary");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Dictionary"), 0);
}

TEST_F(EngineTest, CursorCounts) {
    Cursor none(db, "SELECT [Word] FROM [Dictionary] WHERE [Word]='zzz'");
    EXPECT_EQ(none.recordCount(), 0);
    EXPECT_TRUE(none.eof());
    Cursor some(db, "SELECT [Word] FROM [Dictionary] ORDER BY [Word]");
    EXPECT_GT(some.recordCount(), 0);  // something right after opening
    some.moveLast();
    EXPECT_EQ(some.recordCount(), 10);
    some.moveFirst();
    EXPECT_EQ(some.text("word"), "100%");  // field names ignore case
    EXPECT_THROW(some.value("Nope"), Error);
    // A stop while the rows are read ends the cursor where it is.
    Cursor stopped(db, "SELECT [Word] FROM [Dictionary]");
    int asked = 0;
    stopped.moveLast([&] { return ++asked < 0; });
    EXPECT_LE(stopped.recordCount(), 10);
}

TEST_F(EngineTest, ErrorsCarryTheEngineMessage) {
    try {
        db.execute("SELECT FROM nowhere");
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains("syntax error")) << e.message().toStdString();
    }
    EXPECT_THROW(Cursor(db, "SELECT [Nope] FROM [Dictionary]"), Error);
    EXPECT_THROW(db.execute("SELECT 1; DROP TABLE Dictionary"), Error);
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Dictionary"), 10);
    EXPECT_THROW(Connection::open(dir.filePath("missing.mdb")), Error);
    EXPECT_THROW(Connection::create(path), Error);
}

TEST_F(EngineTest, TransactionsRollBackUnlessCommitted) {
    {
        Transaction t(db);
        db.execute("DELETE * FROM Dictionary");
    }
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Dictionary"), 10);
    {
        BatchedTransaction batch(db, 3);
        WordTable table(db);
        for (int i = 0; i < 7; ++i) {
            table.addNew(QString("w%1").arg(i), "", "");
            batch.rowWritten();
        }
        EXPECT_EQ(batch.committedRows(), 6);
    }  // the destructor commits the rest
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM Dictionary"), 17);
}

TEST_F(EngineTest, WordTableSeekAddUpdateDelete) {
    WordTable table(db);
    EXPECT_TRUE(table.seek("TEA"));
    EXPECT_FALSE(table.seek("te"));
    EXPECT_TRUE(table.seek("c'est"));
    table.addNew("Tea", "aeT", "aeT");
    EXPECT_EQ(table.recordCount(), 11);
    EXPECT_EQ(table.deleteWord("tea"), 2);  // both rows, whatever their case
    const qint64 id = db.scalar("SELECT rowid FROM Dictionary WHERE Word='eat'");
    table.updateKeys(id, std::nullopt, QString("x"));
    EXPECT_EQ(test::StoredKeys(db, "eat"), "tea|x");
}

TEST_F(EngineTest, CompactIntoKeepsEveryRow) {
    const QString copy = dir.filePath("backup.bak");
    db.compactInto(copy);
    Connection compacted = Connection::open(copy);
    EXPECT_EQ(compacted.scalar("SELECT COUNT(*) FROM Dictionary"), 10);
    EXPECT_EQ(compacted.indexNames("Dictionary").size(), db.indexNames("Dictionary").size());
    EXPECT_THROW(db.compactInto(copy), Error);  // never over an existing file
}

TEST(Engine, NotADatabase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("text.mdb");
    test::WriteFile(path, QByteArray("hello, this is not a database at all\n").repeated(200));
    try {
        Connection db = Connection::open(path);  // SQLite notices at the first statement the layer runs
        db.tableNames();
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.isNotADatabase());
        EXPECT_FALSE(e.message().isEmpty());
    }
}

}  // namespace
}  // namespace lexivo
