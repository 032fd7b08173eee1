#include "store/compaction.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <tuple>

#include "store/current_database.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using Choice = Dialogs::ErrorChoice;
using test::ScriptedDialogs;

const QString kInjected = "injected failure";

class CompactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("program"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("data"));
        work = dir.filePath("program");
        path = dir.filePath("data/words.mdb");
    }
    void open(const QStringList& words) {
        test::CreateWordDatabase(path, words);
        test::OpenWordDatabase(state, path);
    }
    // A database with free pages to give back: many words stored, most of them deleted.
    void openWithFreeSpace() {
        QStringList words;
        for (int i = 0; i < 3000; ++i) words << QStringLiteral("word%1").arg(i);
        open(words);
        state.CurrentDatabase.execute("DELETE FROM [Dictionary] WHERE rowid > 100");
    }
    // The word count of the file under path, read through a connection of its own.
    static qint64 countAt(const QString& file) {
        Connection db = Connection::open(file);
        return WordCount(db);
    }
    CompactionResult compact(const CompactionHooks& hooks = {}) {
        return CompactDatabase(state, view, dialogs, work, hooks);
    }
    QString intermediate() const { return QDir(work).filePath("backup.bak"); }
    QString nearCopy() const { return dir.filePath("data/.words.mdb.compacting"); }

    QTemporaryDir dir;
    QString work;
    QString path;
    DatabaseState state;
    test::RecordingView view;
    ScriptedDialogs dialogs;
};

// A copy left by an interrupted run is removed first, whatever its rights.
TEST_F(CompactionTest, CompactsInPlaceKeepingEveryWord) {
    openWithFreeSpace();
    test::WriteFile(intermediate(), "left from an interrupted run");
    QFile::setPermissions(intermediate(), QFile::ReadOwner);
    const qint64 sizeBefore = QFileInfo(path).size();
    const CompactionResult result = compact();
    EXPECT_TRUE(result.compacted);
    EXPECT_TRUE(result.loaded);
    EXPECT_LT(QFileInfo(path).size(), sizeBefore);
    EXPECT_EQ(countAt(path), 100);
    EXPECT_EQ(view.status, "100 words.");
    EXPECT_TRUE(view.loaded);
    EXPECT_EQ(state.DatabasePath, path);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_FALSE(QFile::exists(intermediate()));
}

// The database opened through a link stays a link to a file with the rights the original had.
TEST_F(CompactionTest, LinkAndRightsOfTheOriginalSurvive) {
    open({"cat", "dog"});
    state.CurrentDatabase.close();
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString link = dir.filePath("program/linked.mdb");
    ASSERT_TRUE(QFile::link(path, link));
    test::OpenWordDatabase(state, link);
    ASSERT_TRUE(compact().compacted);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(state.DatabasePath, link);
    EXPECT_EQ(countAt(path), 2);
    struct stat compacted {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &compacted), 0);
    EXPECT_EQ(compacted.st_mode & 0777, 0640u);
}

// A failure injected at one step, answered Abort, Retry or Ignore; with the folders on one device or on two.
class CompactionFailureTest : public CompactionTest,
                              public ::testing::WithParamInterface<std::tuple<CompactionStep, Choice, bool>> {};

TEST_P(CompactionFailureTest, DatabaseSurvivesWithEveryWord) {
    const auto [failingStep, answer, acrossDevices] = GetParam();
    openWithFreeSpace();
    int failures = 0;
    CompactionHooks hooks;
    hooks.beforeStep = [&, failingStep = failingStep](CompactionStep step) {
        if (step == failingStep && failures++ == 0) throw Error(kInjected);
    };
    bool first = true;
    if (acrossDevices) {
        hooks.rename = [&](const char* from, const char* to) {
            if (std::exchange(first, false)) {
                errno = EXDEV;
                return -1;
            }
            return ::rename(from, to);
        };
    }
    dialogs.choose(answer);
    const CompactionResult result = compact(hooks);

    ASSERT_EQ(dialogs.shown().size(), 1u) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(dialogs.shown()[0].kind, ScriptedDialogs::Kind::AbortRetryIgnore);
    EXPECT_EQ(dialogs.shown()[0].title, "Error!");
    EXPECT_EQ(dialogs.shown()[0].text, kInjected);
    // Whatever was answered, the database under its own name opens with every word, and no copy is left over.
    EXPECT_EQ(countAt(path), 100);
    EXPECT_FALSE(QFile::exists(intermediate()));
    EXPECT_FALSE(QFile::exists(nearCopy()));

    const bool reloadGivenUp = failingStep == CompactionStep::Reload && answer != Choice::Retry;
    EXPECT_EQ(result.compacted, answer == Choice::Retry || failingStep == CompactionStep::Reload);
    EXPECT_EQ(result.loaded, !reloadGivenUp);
    EXPECT_EQ(state.loaded(), !reloadGivenUp);
    EXPECT_EQ(view.loaded, !reloadGivenUp);
    if (reloadGivenUp) {
        EXPECT_TRUE(state.DatabasePath.isEmpty());
    } else {
        EXPECT_EQ(state.DatabasePath, path);
        EXPECT_EQ(WordCount(state.CurrentDatabase), 100);
        EXPECT_EQ(view.status, "100 words.");
    }
}

std::string failureName(const ::testing::TestParamInfo<CompactionFailureTest::ParamType>& info) {
    const char* const steps[] = {"Compact", "CopyAcross", "Replace", "Reload"};
    const char* const choices[] = {"Abort", "Retry", "Ignore"};
    return std::string(steps[static_cast<int>(std::get<0>(info.param))]) + "_" +
           choices[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(
    OneDevice, CompactionFailureTest,
    ::testing::Combine(::testing::Values(CompactionStep::Compact, CompactionStep::Replace, CompactionStep::Reload),
                       ::testing::Values(Choice::Abort, Choice::Retry, Choice::Ignore), ::testing::Values(false)),
    failureName);
INSTANTIATE_TEST_SUITE_P(TwoDevices, CompactionFailureTest,
                         ::testing::Combine(::testing::Values(CompactionStep::CopyAcross, CompactionStep::Replace),
                                            ::testing::Values(Choice::Abort, Choice::Retry, Choice::Ignore),
                                            ::testing::Values(true)),
                         failureName);

}  // namespace
}  // namespace lexivo
