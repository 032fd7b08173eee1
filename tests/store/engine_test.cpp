#include "store/engine.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/word_db.h"

namespace lexivo {
namespace {

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
        test::CreateWordDatabase(path, {"tea", "eat", "Ate", "teas", "c'est", "100%", "a_b", "x*y", "q?r", "Éclair"});
        db = Connection::open(path);
    }
    QStringList query(const QString& sql) {
        QStringList words;
        Cursor cursor(db, sql);
        cursor.moveLast();
        for (cursor.moveFirst(); !cursor.eof(); cursor.moveNext()) words << cursor.text("Word");
        return words;
    }
    qint64 count() { return db.scalar("SELECT COUNT(*) FROM Dictionary"); }
    QTemporaryDir dir;
    QString path;
    Connection db;
};

TEST_F(EngineTest, ErrorsCarryTheEngineMessage) {
    try {
        db.execute("SELECT FROM nowhere");
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().contains("syntax error")) << e.message().toStdString();
    }
    EXPECT_THROW(Cursor(db, "SELECT [Nope] FROM [Dictionary]"), Error);
    EXPECT_THROW(db.execute("SELECT 1; DROP TABLE Dictionary"), Error);
    EXPECT_EQ(count(), 10);
    EXPECT_THROW(Connection::open(dir.filePath("missing.mdb")), Error);
    EXPECT_THROW(Connection::create(path), Error);

    const QString text = dir.filePath("text.mdb");
    test::WriteFile(text, QByteArray("hello, this is not a database at all\n").repeated(200));
    try {
        Connection other = Connection::open(text);  // SQLite notices at the first statement the layer runs
        other.tableNames();
        FAIL();
    } catch (const Error& e) {
        EXPECT_TRUE(e.isNotADatabase());
    }
}

TEST_F(EngineTest, TransactionsRollBackUnlessCommittedAndBatchesKeepTheirRows) {
    {
        Transaction t(db);
        db.execute("DELETE * FROM Dictionary");
    }
    EXPECT_EQ(count(), 10);
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
    EXPECT_EQ(count(), 17);
}

}  // namespace
}  // namespace lexivo
