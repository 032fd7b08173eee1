// A word database the user may not write: the program runs as a user without the right to change the file or
// its folder (as root permission bits would be ignored, the child then runs as "nobody"). Every command that
// writes says so, with the reason; the searches and the export work; the file and its folder are unchanged.

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

const QStringList kWords = {"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't", "letter"};

// The commands the child runs, in order, and whether each one writes.
struct Step {
    QStringList command;
    bool writes;
};

TEST(ReadOnlyDatabase, WritingCommandsSaySoAndSearchesWork) {
    QTemporaryDir dir(MemoryFolderTemplate());
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("words.mdb");
    CreateWordDatabase(path, kWords);
    {
        Connection c = Connection::open(path);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL WHERE [Word]='cask'");
    }
    const QString list = dir.filePath("list.txt");
    WriteFile(list, "alpha\r\nbeta\r\n");
    const QString out = dir.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    const QString work = dir.filePath("work");
    ASSERT_TRUE(QDir().mkpath(work));

    ChildOptions options;
    const QFile::Permissions readable =
        QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const QFile::Permissions everything = readable | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (::geteuid() == 0) {
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "no unprivileged user to run as";
        options.uid = static_cast<int>(nobody->pw_uid);
        options.gid = static_cast<int>(nobody->pw_gid);
        // The child must be reachable for that user (a build inside a private home folder is not).
        const ChildReport probe = RunChild({}, options);
        if (WIFEXITED(probe.status) && WEXITSTATUS(probe.status) >= 126)
            GTEST_SKIP() << "the unprivileged user cannot run " << ChildProgram().toStdString();
        QFile::setPermissions(dir.path(), readable | QFile::WriteOwner);
    } else {
        QFile::setPermissions(dir.path(), readable);
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(out, everything);
    QFile::setPermissions(work, everything);
    const QByteArray before = FileBytes(path);
    const QStringList entriesBefore =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    const std::vector<Step> steps = {
        {{"import", list, "1"}, true},
        {{"import", list, "0"}, true},
        {{"add", "newword"}, true},
        {{"delete", "tea"}, true},
        {{"search", "Add", "newword"}, true},
        {{"search", "Delete", "tea"}, true},
        {{"rebuild"}, true},
        {{"quick"}, true},
        {{"check"}, true},
        {{"clear"}, true},
        {{"compact", work}, true},
        {{"search", "Anagram", "tea"}, false},
        {{"search", "Synogram", "tea"}, false},
        {{"search", "Letters", "te"}, false},
        {{"search", "Mask", "c@@k"}, false},
        {{"search", "Palindrome", ""}, false},
        {{"export", out + "/words.txt", "0"}, false},
    };
    QStringList args{path};
    for (const Step& step : steps) args << step.command << ";";
    const ChildReport report = RunChild(args, options);
    QFile::setPermissions(dir.path(), everything);  // so that the folder can be removed
    ASSERT_TRUE(report.exitedNormally()) << report.describe().toStdString();

    // The report, command by command.
    std::vector<QStringList> groups(1);
    for (const QString& line : report.lines) {
        groups.back() << line;
        if (line.startsWith("done ")) groups.emplace_back();
    }
    ASSERT_EQ(groups.size(), steps.size() + 2) << report.describe().toStdString();  // the load, and the end
    EXPECT_TRUE(groups[0].contains("view loaded words.mdb")) << groups[0].join('\n').toStdString();
    int refused = 0, worked = 0;
    for (size_t i = 0; i < steps.size(); ++i) {
        const QStringList& lines = groups[i + 1];
        SCOPED_TRACE(steps[i].command.join(' ').toStdString() + "\n" + lines.join('\n').toStdString());
        QStringList failures;
        for (const QString& line : lines)
            if (line.startsWith("dialog failure ") || line.startsWith("dialog error ") || line.startsWith("error "))
                failures << line;
        EXPECT_TRUE(lines.contains("state idle"));
        if (steps[i].writes) {
            ASSERT_EQ(failures.size(), 1);
            EXPECT_TRUE(failures[0].contains("read-only") || failures[0].contains("readonly"));
            EXPECT_FALSE(lines.contains("dialog notice OK!"));
            ++refused;
        } else {
            EXPECT_TRUE(failures.isEmpty());
            if (steps[i].command[0] == "search") {
                const QString found = lines.filter(QRegularExpression("^found ")).value(0);
                EXPECT_NE(found, "found 0");
                EXPECT_FALSE(found.isEmpty());
            }
            ++worked;
        }
    }
    EXPECT_EQ(FileBytes(out + "/words.txt"),
              "ate\r\ncask\r\ncook\r\ndon't\r\neat\r\nletter\r\nlevel\r\npots\r\nstop\r\ntea\r\n");

    EXPECT_EQ(FileBytes(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), entriesBefore);
    std::printf(
        "[ figure ] read-only database: %d/%d writing commands refused with the reason, %d/%d reading "
        "commands worked, file unchanged\n",
        refused, static_cast<int>(steps.size()) - worked, worked, worked);
}

// Another program killed in the middle of a large change leaves its journal beside the file, with the changed
// pages already written; a user who may not write the file cannot roll the change back, so the database is
// refused with the reason. The next open that may write recovers it.
TEST(ReadOnlyDatabase, AnUnfinishedChangeThatCannotBeRolledBackIsReported) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    if (tool.isEmpty()) GTEST_SKIP() << "no sqlite3 tool";
    if (::geteuid() != 0) GTEST_SKIP() << "needs to run the child as another user";
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no unprivileged user to run as";
    QTemporaryDir dir(MemoryFolderTemplate());
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("words.mdb");
    const QStringList words = GeneratedWords(20000, 13);
    CreateWordDatabase(path, words);
    // A tiny cache makes the tool write changed pages into the file before its commit; then it is killed while
    // it counts for ever.
    ChildProcess other({path,
                        "PRAGMA cache_size=5; BEGIN; UPDATE Dictionary SET Word = Word || 'x'; WITH RECURSIVE "
                        "c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT COUNT(*) FROM c;"},
                       {}, tool);
    for (int i = 0; i < 200 && QFileInfo(path + "-journal").size() < 100000; ++i) ::usleep(50000);
    ::usleep(200000);
    other.finish(0);
    ASSERT_GT(QFileInfo(path + "-journal").size(), 100000) << "no journal of the change";

    ChildOptions options;
    options.uid = static_cast<int>(nobody->pw_uid);
    options.gid = static_cast<int>(nobody->pw_gid);
    const QFile::Permissions readable =
        QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QFile::setPermissions(dir.path(), readable | QFile::WriteOwner);
    const QByteArray before = FileBytes(path);
    const ChildReport report = RunChild({path, "count"}, options);
    if (WIFEXITED(report.status) && WEXITSTATUS(report.status) >= 126) GTEST_SKIP() << "the user cannot run the child";
    const QStringList failures = report.with("dialog failure");
    ASSERT_EQ(failures.size(), 1) << report.describe().toStdString();
    EXPECT_TRUE(failures[0].contains(path)) << failures[0].toStdString();
    EXPECT_TRUE(report.with("view").contains("none"));
    EXPECT_EQ(FileBytes(path), before);

    DatabaseState state;
    OpenWordDatabase(state, path);
    EXPECT_EQ(IntegrityCheck(state.CurrentDatabase), "ok");
    EXPECT_EQ(StoredWords(state.CurrentDatabase), words);
    EXPECT_FALSE(QFile::exists(path + "-journal"));
    std::printf(
        "[ figure ] an unfinished change the user cannot roll back: refused with \"%s\"; recovered at the "
        "next writable open\n",
        qPrintable(failures[0].section(QLatin1Char('\n'), -1)));
}

}  // namespace
}  // namespace lexivo
