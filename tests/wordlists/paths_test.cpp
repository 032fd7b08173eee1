#include "wordlists/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lexivo {
namespace {

class PathsOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(temp.isValid());
        root = temp.path();
        ASSERT_TRUE(QDir(root).mkpath("lists/empty"));
        for (const char* name : {"lists/words.mdb", "lists/my.words.txt", "lists/.hidden", "lists/odd[1].txt"}) {
            QFile file(root + "/" + name);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    QTemporaryDir temp;
    QString root;
};

// Files and folders exist, but not with a trailing slash; "*" and "?" match in the last component only, with
// case, and brackets are ordinary characters.
TEST_F(PathsOnDisk, FileExists) {
    for (const char* path : {"/lists/words.mdb", "/lists", "/lists/*.mdb", "/lists/word?.mdb", "/lists/*",
                             "/lists/*words*", "/lists/emp?y", "/lists/.hid*", "/lists/odd[1]*"})
        EXPECT_TRUE(FileExists(root + path)) << path;
    for (const char* path : {"/lists/", "/lists/words.mdb/", "/lists/missing.mdb", "/missing/words.mdb", "/lists/*.doc",
                             "/lists/word?.mdbx", "/lists/?words.mdb", "/lists/*.MDB", "/lists/empty/*", "/missing/*",
                             "/lists/*/", "/lists/odd[0-9]*"})
        EXPECT_FALSE(FileExists(root + path)) << path;
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(FileExists("/"));
}

TEST_F(PathsOnDisk, GetFolderPath) {
    // A path naming an existing folder is its own folder; a missing one is not.
    const std::pair<const char*, const char*> cases[] = {
        {"/lists/words.mdb", "/lists"}, {"/lists/missing.mdb", "/lists"},
        {"/lists/*.txt", "/lists"},     {"/lists/w*/x", "/lists"},
        {"/lists", "/lists"},           {"/lists/", "/lists"},
        {"/lists///", "/lists"},        {"/nothing", ""},
        {"/lists//words.mdb", "/lists"}};
    for (const auto& [relative, folder] : cases) EXPECT_EQ(GetFolderPath(root + relative), root + folder) << relative;
    const std::pair<const char*, const char*> bare[] = {{"words.mdb", ""},   {"*.mdb", ""}, {"", ""},
                                                        {"/words.mdb", "/"}, {"/", "/"},    {"/*", "/"}};
    for (const auto& [path, folder] : bare) EXPECT_EQ(GetFolderPath(path), folder) << path;
}

TEST(Paths, NameParts) {
    // Only one trailing slash is dropped.
    const std::pair<const char*, const char*> names[] = {{"/lists/words.mdb", "words.mdb"},
                                                         {"/lists/", "lists"},
                                                         {"a/b/c", "c"},
                                                         {"words", "words"},
                                                         {"/lists//", ""},
                                                         {"/", ""},
                                                         {"", ""}};
    for (const auto& [path, name] : names) EXPECT_EQ(GetFileName(path), name) << path;
    EXPECT_EQ(GetBaseName("/lists/my.words.mdb"), "my.words");
    EXPECT_EQ(GetBaseName("/lists.d/words"), "words");  // a dot in a folder name is not an extension
    EXPECT_EQ(GetBaseName("words.mdb"), "words");
}

}  // namespace
}  // namespace lexivo
