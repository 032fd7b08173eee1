// The core pieces the command line leans on: the mask search on a range of the Word index (that the range
// keeps every row the full scan finds is the search tests' part), loading without a word count, the statistics
// text and the folder for scratch files.

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "search/search_query.h"
#include "store/current_database.h"
#include "store/like_matcher.h"
#include "store/settings_file.h"
#include "store/statistics.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {
namespace {

TEST(MaskIndexRangeTest, CoversTheWordsThatBeginWithTheMasksLiteralStart) {
    const std::pair<const char*, const char*> cases[] = {{"c??k", "[Word]>='c' AND [Word]<'d'"},
                                                         {"CA*", "[Word]>='ca' AND [Word]<'cb'"},
                                                         {"zebra", "[Word]>='zebra' AND [Word]<'zebrb'"},
                                                         {"a'b*", "[Word]>='a''b' AND [Word]<'a''c'"},
                                                         {"ba#e", "[Word]>='ba' AND [Word]<'bb'"},
                                                         {"tea@", "[Word]>='tea' AND [Word]<'teb'"},
                                                         {"bask", "[Word]>='bask' AND [Word]<'basl'"},
                                                         {"Stop", "[Word]>='stop' AND [Word]<'stoq'"},
                                                         {"éclair", "[Word]>='éclair' AND [Word]<'eclais'"}};
    for (const auto& [mask, range] : cases) EXPECT_EQ(MaskIndexRange(mask), range) << mask;
    // Nothing to narrow: a wildcard or placeholder first.
    for (const char* mask : {"?at", "*ing", "@pple", "#a#e", ""}) EXPECT_EQ(MaskIndexRange(mask), QString()) << mask;
}

// The only characters outside ASCII that fold to an ASCII letter fold to "k" or "s".
TEST(MaskIndexRangeTest, OnlyKAndSHaveForeignCaseVariants) {
    for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const char32_t folded = FoldCase(c);
        if (folded < 0x80) {
            EXPECT_TRUE(folded == U'k' || folded == U's') << std::hex << static_cast<unsigned>(c);
        }
    }
}

class QuietView : public RecordingView {
public:
    bool showsWordCount() const override { return false; }
};

TEST(LoadingWithoutCountTest, TellsEmptinessButShowsNoCount) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("words.mdb");
    CreateWordDatabase(path);
    DatabaseState state;
    state.DatabasePath = path;
    QuietView view;
    ScriptedDialogs dialogs;
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    EXPECT_EQ(dialogs.texts(), QStringList{kEmptyDatabaseMessage});
    EXPECT_EQ(view.windowShown, 1);
    EXPECT_TRUE(view.status.isEmpty());
    EXPECT_TRUE(DatabaseIsEmpty(state.CurrentDatabase));
    EXPECT_EQ(StatisticsText(state), "Database is empty, import from a word list text file.");

    WordTable(state.CurrentDatabase).addNew("tea", "tea", "tea");
    EXPECT_FALSE(DatabaseIsEmpty(state.CurrentDatabase));
    EXPECT_EQ(StatisticsText(state), "Database contains 1 words.");
    dialogs.clear();
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    EXPECT_TRUE(dialogs.texts().isEmpty());
    EXPECT_TRUE(view.status.isEmpty());
    EXPECT_TRUE(view.loaded);

    state.CurrentDatabase.close();
    state.DatabasePath.clear();
    EXPECT_EQ(StatisticsText(state), "No database loaded.");
}

TEST(ScratchFolderTest, ScratchFilesGoBesideTheProgramWhereThatFolderCanBeWritten) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath("program");
    const QString fallback = dir.filePath("config");
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(SettingsFile(program, fallback).writableFolder(), program);
    EXPECT_EQ(SettingsFile(dir.filePath("missing"), fallback).writableFolder(), fallback);
}

}  // namespace
}  // namespace lexivo::test
