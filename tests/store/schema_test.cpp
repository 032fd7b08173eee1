#include "store/schema.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "store/current_database.h"
#include "store/engine.h"
#include "support/scripted_dialogs.h"

namespace lexivo {
namespace {

class SchemaTest : public ::testing::Test {
protected:
    void SetUp() override { db = Connection::create(dir.filePath("s.mdb")); }
    QStringList fieldNames(const QString& table) {
        QStringList names;
        for (const auto& c : db.columns(table)) names << c.name;
        return names;
    }
    QTemporaryDir dir;
    Connection db;
    test::ScriptedDialogs dialogs;
};

// Table and field names match without regard to case, index names with it; nothing that exists is changed.
TEST_F(SchemaTest, FieldsAndIndexesAreAddedOnce) {
    EnsureField(db, "Dictionary", "Word", kTextField, 255);
    EXPECT_EQ(fieldNames("Dictionary"), QStringList({"ID", "Word"}));
    EnsureField(db, "dictionary", "WORD", kTextField, 255);
    EnsureField(db, "Dictionary", "Word", kLongField, 0);
    EXPECT_EQ(fieldNames("Dictionary"), QStringList({"ID", "Word"}));
    EXPECT_TRUE(db.columns("Dictionary")[1].type.startsWith("TEXT"));
    EXPECT_TRUE(TableExists(db, "DICTIONARY"));
    EXPECT_TRUE(FieldExists(db, "Dictionary", "word"));
    EXPECT_FALSE(FieldExists(db, "Nothing", "Word"));
    AddIndex(db, "Dictionary", "Word", "Word", dialogs);
    AddIndex(db, "Dictionary", "Word", "Word", dialogs);
    EXPECT_TRUE(IndexExists(db, "Dictionary", "Word"));
    EXPECT_FALSE(IndexExists(db, "Dictionary", "word"));
    EXPECT_EQ(db.indexNames("Dictionary"), QStringList({"Word"}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SchemaTest, AddIndexReportsMissingTableAndField) {
    AddIndex(db, "Dictionary", "Word", "Word", dialogs);
    EnsureField(db, "Dictionary", "Word", kTextField, 255);
    EnsureField(db, "Dictionary", "Sorted", kTextField, 255);
    AddIndex(db, "Dictionary", "Both", "Word, Sorted", dialogs);  // the space is part of the second name
    EXPECT_EQ(dialogs.texts(), QStringList({"ERROR! Table not found in database, cannot create index.",
                                            "ERROR! Field not found in table, cannot create index."}));
    EXPECT_FALSE(IndexExists(db, "Dictionary", "Both"));
    AddIndex(db, "Dictionary", "Both", "Word,Sorted", dialogs);
    EXPECT_TRUE(IndexExists(db, "Dictionary", "Both"));
}

TEST_F(SchemaTest, TextFieldsTakeEmptyTextAndCompareWithoutCase) {
    EnsureField(db, "T", "A", kTextField, 255);
    EnsureField(db, "T", "N", kLongField, 0);
    db.execute("INSERT INTO T(A, N) VALUES('', 1), ('Abc', 2)");
    EXPECT_EQ(db.scalar("SELECT COUNT(*) FROM T WHERE A=''"), 1);
    EXPECT_EQ(db.scalar("SELECT N FROM T WHERE A='aBC'"), 2);
}

TEST_F(SchemaTest, LockedTableAsksRetryOrCancel) {
    EnsureField(db, "Dictionary", "Word", kTextField, 255);
    Connection other = Connection::open(db.path());
    other.execute("BEGIN EXCLUSIVE");
    other.execute("INSERT INTO Dictionary(Word) VALUES('x')");
    db.setBusyTimeout(50);
    dialogs.retry().cancel();
    EXPECT_THROW(CompleteNewDatabase(db, dialogs), DesignAccessCancelled);
    EXPECT_EQ(dialogs.texts(),
              QStringList(2, "Unable to modify database design, close all access to the database and try again."));
    // Retry after the other program let go completes the database.
    dialogs.retry().onNextShown([&] { other.rollback(); });
    CompleteNewDatabase(db, dialogs);
    EXPECT_TRUE(FieldExists(db, "Dictionary", "Letters"));
}

}  // namespace
}  // namespace lexivo
