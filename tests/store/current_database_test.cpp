#include "store/current_database.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "store/schema.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using test::ReadFile;
using test::ScriptedDialogs;

class LoadTest : public ::testing::Test {
protected:
    bool load(const QString& path) {
        state.DatabasePath = path;
        return LoadDatabase(state, view, dialogs);
    }
    QTemporaryDir dir;
    DatabaseState state;
    test::RecordingView view;
    ScriptedDialogs dialogs;
};

TEST_F(LoadTest, CountsAndCaption) {
    const QString path = dir.filePath("one word.mdb");
    test::CreateWordDatabase(path, {"cat"});
    ASSERT_TRUE(load(path));
    EXPECT_EQ(view.status, "1 words.");
    EXPECT_EQ(view.caption, "one word.mdb");
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(state.loaded());
}

TEST_F(LoadTest, OlderTableGetsItsKeyFieldsAndIndexes) {
    const QString path = dir.filePath("old.mdb");
    {
        Connection db = Connection::create(path);
        db.execute("CREATE TABLE Dictionary (ID INTEGER, Word TEXT(255) COLLATE NOCASE)");
        db.execute("INSERT INTO Dictionary(Word) VALUES ('apple'), ('pear')");
    }
    ASSERT_TRUE(load(path));
    EXPECT_EQ(view.status, "2 words.");
    EXPECT_EQ(test::StoredKeys(state.CurrentDatabase, "apple"), "<null>|<null>");
    const QStringList indexes = state.CurrentDatabase.indexNames("Dictionary");
    EXPECT_TRUE(indexes.contains("Word") && indexes.contains("Sorted") && indexes.contains("Letters"))
        << indexes.join(',').toStdString();
}

}  // namespace
}  // namespace lexivo
