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
        touch("lists/words.mdb");
        touch("lists/my.words.txt");
        touch("lists/.hidden");
        touch("lists/odd[1].txt");
    }

    void touch(const QString& relative) {
        QFile file(root + "/" + relative);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir temp;
    QString root;
};

TEST_F(PathsOnDisk, FileExistsForFilesAndFoldersButNotWithATrailingSlash) {
    EXPECT_TRUE(FileExists(root + "/lists/words.mdb"));
    EXPECT_TRUE(FileExists(root + "/lists"));
    EXPECT_FALSE(FileExists(root + "/lists/"));
    EXPECT_FALSE(FileExists(root + "/lists/words.mdb/"));
    EXPECT_FALSE(FileExists(root + "/lists/missing.mdb"));
    EXPECT_FALSE(FileExists(root + "/missing/words.mdb"));
    EXPECT_FALSE(FileExists(QString()));
    EXPECT_TRUE(FileExists("/"));
}

TEST_F(PathsOnDisk, FileExistsMatchesWildcardsInTheLastComponent) {
    EXPECT_TRUE(FileExists(root + "/lists/*.mdb"));
    EXPECT_TRUE(FileExists(root + "/lists/word?.mdb"));
    EXPECT_TRUE(FileExists(root + "/lists/*"));
    EXPECT_TRUE(FileExists(root + "/lists/*words*"));
    EXPECT_TRUE(FileExists(root + "/lists/emp?y"));  // a folder matches as well as a file
    EXPECT_TRUE(FileExists(root + "/lists/.hid*"));
    EXPECT_FALSE(FileExists(root + "/lists/*.doc"));
    EXPECT_FALSE(FileExists(root + "/lists/word?.mdbx"));
    EXPECT_FALSE(FileExists(root + "/lists/?words.mdb"));
    EXPECT_FALSE(FileExists(root + "/lists/*.MDB"));    // file names are case-sensitive here
    EXPECT_FALSE(FileExists(root + "/lists/empty/*"));  // "." and ".." are not entries
    EXPECT_FALSE(FileExists(root + "/missing/*"));
    EXPECT_FALSE(FileExists(root + "/lists/*/"));
}

TEST_F(PathsOnDisk, BracketsInAPatternAreOrdinaryCharacters) {
    EXPECT_TRUE(FileExists(root + "/lists/odd[1]*"));
    EXPECT_FALSE(FileExists(root + "/lists/odd[0-9]*"));
}

TEST(GetFileName, GivesTheLastComponent) {
    EXPECT_EQ(GetFileName("/lists/words.mdb"), "words.mdb");
    EXPECT_EQ(GetFileName("/lists/"), "lists");
    EXPECT_EQ(GetFileName("a/b/c"), "c");
    EXPECT_EQ(GetFileName("words"), "words");
    EXPECT_EQ(GetFileName("/words.mdb"), "words.mdb");
    // Only one trailing slash is dropped.
    EXPECT_EQ(GetFileName("/lists//"), "");
    EXPECT_EQ(GetFileName("/"), "");
    EXPECT_EQ(GetFileName(""), "");
}

TEST_F(PathsOnDisk, GetFolderPathOfFilesPatternsAndFolders) {
    EXPECT_EQ(GetFolderPath(root + "/lists/words.mdb"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/lists/missing.mdb"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/lists/*.txt"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/lists/w*/x"), root + "/lists");
    // A path naming an existing folder is its own folder; a missing one is not.
    EXPECT_EQ(GetFolderPath(root + "/lists"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/lists/"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/lists///"), root + "/lists");
    EXPECT_EQ(GetFolderPath(root + "/nothing"), root);
    EXPECT_EQ(GetFolderPath(root + "/lists//words.mdb"), root + "/lists");
}

TEST(GetFolderPath, WithoutAFolderOrAtTheRoot) {
    EXPECT_EQ(GetFolderPath("words.mdb"), "");
    EXPECT_EQ(GetFolderPath("*.mdb"), "");
    EXPECT_EQ(GetFolderPath(""), "");
    EXPECT_EQ(GetFolderPath("/words.mdb"), "/");
    EXPECT_EQ(GetFolderPath("/"), "/");
    EXPECT_EQ(GetFolderPath("/*"), "/");
}

TEST(GetBaseName, DropsOnlyTheLastExtension) {
    EXPECT_EQ(GetBaseName("/lists/my.words.mdb"), "my.words");
    EXPECT_EQ(GetBaseName("/lists/words"), "words");
    EXPECT_EQ(GetBaseName("/lists.d/words"), "words");  // a dot in a folder name is not an extension
    EXPECT_EQ(GetBaseName("words.mdb"), "words");
    EXPECT_EQ(GetNamePart("/lists/my.words.mdb"), "my.words.mdb");
    EXPECT_EQ(GetNamePart("/lists/"), "");
}

TEST(GetPathRoot, IsTheRootOrTheFirstComponent) {
    EXPECT_EQ(GetPathRoot("/lists/words.txt"), "/");
    EXPECT_EQ(GetPathRoot("lists/words.txt"), "lists");
    EXPECT_EQ(GetPathRoot("words.txt"), "words.txt");
}

TEST_F(PathsOnDisk, DriveAvailableTestsTheRootOnly) {
    EXPECT_TRUE(DriveAvailable(root + "/missing/words.mdb"));
    EXPECT_FALSE(DriveAvailable(""));

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root));
    const bool relativeRootPresent = DriveAvailable("lists/missing.txt");
    const bool relativeRootMissing = DriveAvailable("nothing/words.txt");
    QDir::setCurrent(previous);
    EXPECT_TRUE(relativeRootPresent);
    EXPECT_FALSE(relativeRootMissing);
}

}  // namespace
}  // namespace lexivo
