#include "store/schema.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

}  // namespace
}  // namespace lexivo
