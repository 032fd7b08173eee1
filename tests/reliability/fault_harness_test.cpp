// Every writing command, through the core and through lexivo-cli, under the faults a user's machine can cause:
// after each, no crash, the reason shown, idle, the file whole, the words as before, every key right or missing.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QtWidgets>
#include <map>
#include <optional>

#include "reliability/reliability_support.h"
#include "store/compaction.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "support/cli_process.h"
#include "support/reference.h"
#include "support/run_search.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo::test {
namespace {

const QStringList kWords = {"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't", "letter"};

struct Scene {
    explicit Scene(int listWords = 3, int earlierWords = 0) {
        EXPECT_TRUE(dir.isValid());
        before = kWords + GeneratedWords(earlierWords, 5);
        CreateWordDatabase(db, before);
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL WHERE [Word] IN ('cook','cask')");
        list = GeneratedWords(listWords, 9);
        WriteFile(listPath, WordListBytes(list));
        QDir().mkpath(out);
        QDir().mkpath(dir.filePath("home"));
        QDir().mkpath(dir.filePath("program"));
        cli.program = dir.filePath("program/lexivo-cli");
        QFile::copy(kCliProgram, cli.program);
        bytes = ReadFile(db);
        entries = folderEntries();
    }
    void dropKeys() {
        Connection c = Connection::open(db);
        c.execute("UPDATE [Dictionary] SET [Sorted]=NULL,[Letters]=NULL");
        c.execute("VACUUM");
        bytes = ReadFile(db);
    }
    QStringList folderEntries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QString db = dir.filePath("words.mdb");
    QString listPath = dir.filePath("list.txt");
    QString out = dir.filePath("out");
    QStringList before, list;
    CliOptions cli;
    QByteArray bytes;
    QStringList entries;
};

struct Core {
    DatabaseState& state;
    Scene& scene;
    ScriptedDialogs& d;
    FakeRun& r;
    Connection& db() const { return state.CurrentDatabase; }
};
struct Command {
    const char* name;
    QStringList cli;  // after --db FILE
    std::function<void(const Core&)> core;
    bool readsOnly = false;  // the export
};

WordFilter noFilter() {
    return {};
}

std::vector<Command> WritingCommands(const Scene& s) {
    const QString exported = s.out + "/words.txt";
    return {
        {"import --append",
         {"import", s.listPath, "--append"},
         [](const Core& c) { ImportWords(c.db(), c.scene.listPath, true, noFilter, c.r, c.d); }},
        {"import",
         {"import", s.listPath},
         [](const Core& c) { ImportWords(c.db(), c.scene.listPath, false, noFilter, c.r, c.d); }},
        {"export",
         {"export", exported},
         [exported](const Core& c) { ExportWords(c.db(), exported, false, noFilter, c.r, c.d); },
         true},
        {"add", {"add", "newword"}, [](const Core& c) { AddWord(c.db(), "newword", c.d.yes()); }},
        {"delete", {"delete", "tea"}, [](const Core& c) { DeleteWords(c.db(), {"tea"}, c.d); }},
        {"find and add",
         {"add", "newword"},
         [](const Core& c) { RunSearchForTest(c.db(), TestMode::Add, "newword", 0, 0, false, &c.d.yes(), &c.r); }},
        {"find and delete",
         {"delete", "TEA"},
         [](const Core& c) { RunSearchForTest(c.db(), TestMode::Delete, "TEA", 0, 0, false, &c.d.yes(), &c.r); }},
        {"rebuild", {"rebuild"}, [](const Core& c) { CompleteRebuild(c.db(), c.r, c.d); }},
        {"quick rebuild", {"rebuild", "--quick"}, [](const Core& c) { QuickRebuild(c.db(), c.r, c.d); }},
        {"check", {"check"}, [](const Core& c) { CheckDatabase(c.db(), c.r, c.d.yes()); }},
        {"compact",
         {"compact"},
         [](const Core& c) {
             RecordingView view;
             CompactDatabase(c.state, view, c.d.choose(Dialogs::ErrorChoice::Abort), c.scene.dir.filePath("work"));
         }},
    };
}

void ExpectSound(const Scene& s, bool mayImport = false) {
    EXPECT_EQ(IntegrityCheck(s.db), "ok");
    Connection db = Connection::open(s.db);
    const QStringList stored = StoredWords(db);
    // The words before, then (after an import) a prefix of the list; or a prefix alone.
    const auto listFrom = [&](qsizetype from) {
        if (stored.size() - from > s.list.size()) return false;
        for (qsizetype i = from; i < stored.size(); ++i)
            if (stored[i] != s.list[i - from]) return false;
        return true;
    };
    const bool beforeFirst = stored.mid(0, s.before.size()) == s.before;
    const bool fits = (beforeFirst && (stored.size() == s.before.size() || (mayImport && listFrom(s.before.size())))) ||
                      (mayImport && listFrom(0));
    EXPECT_TRUE(fits) << stored.size() << " words: " << stored.mid(0, 12).join(' ').toStdString();
    Cursor rows(db, "SELECT [Word],[Sorted],[Letters] FROM [Dictionary]");
    for (; !rows.eof(); rows.moveNext()) {
        const QString word = rows.value(0).value_or(QString());
        const bool missing = !rows.value(1) && !rows.value(2);
        EXPECT_TRUE(missing || (rows.value(1) == ReferenceSorted(word) && rows.value(2) == ReferenceLetters(word)))
            << "wrong keys for " << word.toStdString();
    }
}

// A core command must end its run, leave no transaction open, and fail with one of reasons (none: not fail).
void ExpectCore(Scene& s, DatabaseState& state, const Command& c, const QStringList& reasons) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = RunCommand([&](ScriptedDialogs& d, FakeRun& r) { c.core({state, s, d, r}); });
    const QStringList failures = outcome.allFailures();
    if (reasons.isEmpty()) {
        EXPECT_TRUE(failures.isEmpty()) << outcome.describe().toStdString();
    } else {
        ASSERT_FALSE(failures.isEmpty()) << outcome.describe().toStdString();
        for (const QString& failure : failures)
            EXPECT_TRUE(std::any_of(reasons.begin(), reasons.end(), [&](const QString& r) {
                return failure.contains(r);
            })) << failure.toStdString();
        EXPECT_FALSE(outcome.shown.contains("OK!"));
    }
    if (state.loaded()) {
        EXPECT_FALSE(state.CurrentDatabase.inTransaction());
    }
}

// lexivo-cli's answer to a failure: status 1, one line naming the program and containing one of reasons.
::testing::AssertionResult CliFailed(const CliResult& r, const QStringList& reasons) {
    const QStringList lines = r.messages();
    if (r.crashed || r.code != 1 || !r.out.isEmpty() || lines.isEmpty() || !lines.last().startsWith("lexivo-cli: ") ||
        lines.filter("lexivo-cli: ").size() != 1 ||
        !std::any_of(reasons.begin(), reasons.end(), [&](const QString& x) { return lines.last().contains(x); }))
        return ::testing::AssertionFailure()
               << "expected one line with " << reasons.join(" or ").toStdString() << ": " << r;
    return ::testing::AssertionSuccess();
}

std::vector<CliResult> RunCliCommands(const Scene& s, const std::vector<Command>& commands,
                                      std::function<void()> childModifier = {}, bool atOnce = false) {
    std::vector<QStringList> args;
    for (const Command& c : commands) args.push_back(QStringList{"--db", s.db} + c.cli);
    CliOptions options = s.cli;
    options.childModifier = std::move(childModifier);
    const CliRunner runner(s.dir.path());
    if (atOnce) return runner.runAll(args, options);
    std::vector<CliResult> results;
    for (const QStringList& a : args) results.push_back(runner.run(a, options));
    return results;
}

// lexivo-cli's answers under a condition: the export serves where it may, every other command fails with one of
// reasons.
void ExpectCliRefused(const std::vector<Command>& commands, const std::vector<CliResult>& results,
                      const QStringList& reasons, bool exportServes = true) {
    for (size_t i = 0; i < commands.size(); ++i) {
        if (commands[i].readsOnly && exportServes) {
            EXPECT_EQ(results[i].code, 0) << commands[i].name << results[i];
        } else {
            EXPECT_TRUE(CliFailed(results[i], reasons)) << commands[i].name;
        }
    }
}

// Nothing shows of the refused commands: the file's bytes, the folder, the words and keys are as before.
void ExpectUntouched(const Scene& s) {
    EXPECT_EQ(ReadFile(s.db), s.bytes);
    EXPECT_EQ(s.folderEntries(), s.entries);
    ExpectSound(s);
}

enum class Lock { Reading, Writing, Exclusive };

class HeldDatabase : public ::testing::TestWithParam<Lock> {
protected:
    void hold(Scene& s) {
        holder = Connection::open(s.db);
        holder.setBusyTimeout(0);
        const char* const begin[] = {"BEGIN", "BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"};
        holder.execute(begin[static_cast<int>(GetParam())]);
        holder.scalar("SELECT COUNT(*) FROM [Dictionary]");  // a read keeps its lock to the end
    }
    bool refused(const Command& c) const { return c.readsOnly ? GetParam() == Lock::Exclusive : true; }
    bool skipped(const Command& c) const { return GetParam() == Lock::Reading && QString(c.name) == "compact"; }
    Connection holder;
};

TEST_P(HeldDatabase, EveryWritingCommandSaysSoAndChangesNothing) {
    Scene s;
    DatabaseState state;
    OpenWordDatabase(state, s.db);
    state.CurrentDatabase.setBusyTimeout(100);
    hold(s);
    for (const Command& c : WritingCommands(s)) {
        if (skipped(c) || !state.loaded()) continue;
        ExpectCore(s, state, c, refused(c) ? QStringList{"database is locked"} : QStringList{});
    }
    for (const bool refusedOnes : {true, false}) {  // those that wait for the lock wait together
        std::vector<Command> commands;
        for (const Command& c : WritingCommands(s))
            if (!skipped(c) && refused(c) == refusedOnes) commands.push_back(c);
        ExpectCliRefused(commands, RunCliCommands(s, commands, {}, refusedOnes),
                         {"locked", "close all access to the database"}, !refusedOnes);
    }
    holder.rollback();
    EXPECT_EQ(ReadFile(s.db), s.bytes);
    ExpectSound(s);
    if (!state.loaded()) OpenWordDatabase(state, s.db);
    ScriptedDialogs dialogs;
    EXPECT_EQ(AddWord(state.CurrentDatabase, "newword", dialogs.yes()), AddResult::Added);
}

INSTANTIATE_TEST_SUITE_P(ByAnotherProgram, HeldDatabase,
                         ::testing::Values(Lock::Reading, Lock::Writing, Lock::Exclusive));

std::function<void()> Unprivileged() {
    if (::geteuid() != 0) return {};
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) return {};
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    return [uid, gid] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(126);
    };
}

TEST(ReadOnlyDatabase, EveryWritingCommandSaysSoAndChangesNothing) {
    Scene s;
    {
        DatabaseState state;
        OpenWordDatabase(state, s.db);
        for (const Command& c : WritingCommands(s)) {
            if (QString(c.name) == "compact") continue;  // compaction reopens the file for writing
            state.CurrentDatabase.execute("PRAGMA query_only=ON");
            ExpectCore(s, state, c, c.readsOnly ? QStringList{} : QStringList{"readonly", "read-only"});
            if (!state.loaded()) OpenWordDatabase(state, s.db);
        }
    }
    EXPECT_EQ(ReadFile(s.db), s.bytes);
    const auto unprivileged = Unprivileged();
    if (::geteuid() == 0 && !unprivileged) GTEST_SKIP() << "no unprivileged user";
    QFile::remove(s.out + "/words.txt");
    const QFile::Permissions readable =
        QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const QFile::Permissions all = readable | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QFile::setPermissions(s.out, all);
    QFile::setPermissions(s.db, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(s.listPath, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(s.dir.path(), readable);
    const auto commands = WritingCommands(s);
    const auto results = RunCliCommands(s, commands, unprivileged);
    QFile::setPermissions(s.dir.path(), all);
    ExpectCliRefused(commands, results, {"read-only", "cannot be written"});
    ExpectUntouched(s);
}

// A killed change's journal that the user may not roll back: refused with the reason; a writer recovers it.
TEST(ReadOnlyDatabase, AnUnfinishedChangeThatCannotBeRolledBackIsReported) {
    const QString tool = QStandardPaths::findExecutable("sqlite3");
    const auto unprivileged = Unprivileged();
    if (tool.isEmpty() || !unprivileged) GTEST_SKIP() << "needs the sqlite3 tool and another user";
    Scene s(3, 20000);
    QProcess other;
    other.start(tool, {"-cmd", ".load " LEXIVO_SQLITE_EXTENSION, s.db,
                       "PRAGMA cache_size=5; BEGIN; UPDATE Dictionary SET Word = Word || 'x'; WITH RECURSIVE "
                       "c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT COUNT(*) FROM c;"});
    for (int i = 0; i < 200 && QFileInfo(s.db + "-journal").size() < 100000; ++i) other.waitForFinished(50);
    other.waitForFinished(200);
    other.kill();
    other.waitForFinished();
    ASSERT_GT(QFileInfo(s.db + "-journal").size(), 100000) << "no journal of the change";
    const QByteArray bytes = ReadFile(s.db);
    QFile::setPermissions(s.dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    CliOptions options = s.cli;
    options.childModifier = unprivileged;
    const CliResult r = CliRunner(s.dir.path()).run({"--db", s.db, "anagram", "tea"}, options);
    QFile::setPermissions(s.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(CliFailed(r, {s.db}));
    EXPECT_EQ(ReadFile(s.db), bytes);
    EXPECT_EQ(CliRunner(s.dir.path()).run({"--db", s.db, "stats"}, s.cli).code, 0);
    EXPECT_FALSE(QFile::exists(s.db + "-journal"));
    ExpectSound(s);
}

std::function<void()> FileSizeLimit(rlim_t bytes) {
    return [bytes] {
        const rlimit limit{bytes, bytes};
        ::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    };
}

TEST(FullDisk, NoRoomAtAllEveryWritingCommandSaysSo) {
    Scene s;
    const auto commands = WritingCommands(s);
    ExpectCliRefused(commands, RunCliCommands(s, commands, FileSizeLimit(0)),
                     {"disk is full", "disk I/O error", "File too large", "No space"}, false);
    ExpectUntouched(s);
    EXPECT_EQ(QDir(s.out).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(FullDisk, RoomForAPartKeepsWholeBatches) {
    for (const char* command : {"import --append", "import", "rebuild"}) {
        SCOPED_TRACE(command);
        Scene s(30000, 3000);
        if (QString(command) == "rebuild") s.dropKeys();
        std::vector<Command> chosen;
        for (const Command& c : WritingCommands(s))
            if (QString(c.name) == command) chosen.push_back(c);
        const auto results = RunCliCommands(
            s, chosen,
            FileSizeLimit(static_cast<rlim_t>(s.bytes.size() + (QString(command) == "rebuild" ? 0 : 64) * 1024)));
        EXPECT_TRUE(CliFailed(results[0], {"disk is full", "disk I/O error", "File too large"}));
        ExpectSound(s, true);
        EXPECT_EQ(s.folderEntries(), s.entries);
    }
}

TEST(KilledRun, EveryMomentLeavesASoundDatabase) {
    std::mt19937 random(TrialSeed(20240607));
    const int kills = TrialSize(3, 40);
    for (const char* command : {"import --append", "import", "rebuild", "compact"}) {
        Scene s(TrialSize(6000, 100000), 1000);
        if (QString(command) == "rebuild") s.dropKeys();
        QStringList args;
        for (const Command& c : WritingCommands(s))
            if (QString(c.name) == command) args = QStringList{"--db", s.db} + c.cli;
        const CliRunner runner(s.dir.path());
        QElapsedTimer timer;
        timer.start();
        ASSERT_EQ(runner.run(args, s.cli).code, 0) << command;
        const qint64 whole = timer.elapsed();
        for (int k = 0; k < kills; ++k) {
            SCOPED_TRACE(QStringLiteral("%1, kill %2").arg(command).arg(k).toStdString());
            WriteFile(s.db, s.bytes);
            CliOptions options = s.cli;
            const int after = static_cast<int>(random() % static_cast<unsigned>(whole + 1));
            options.whileRunning = [after](QProcess& p) {
                if (!p.waitForFinished(after)) p.kill();
            };
            runner.run(args, options);
            ExpectSound(s, true);
            const CliResult next = runner.run({"--db", s.db, "add", "zzz"}, s.cli);
            EXPECT_EQ(next.code, 0) << next;
            if (QString(command) == "compact") {
                EXPECT_EQ(runner.run({"--db", s.db, "compact"}, s.cli).code, 0);
            }
            EXPECT_EQ(QDir(s.dir.filePath("program")).entryList(QDir::Files), QStringList{"lexivo-cli"});
            EXPECT_EQ(s.folderEntries(), s.entries);
        }
    }
}

QByteArray Damaged(const QByteArray& pristine, std::uint32_t seed) {
    std::mt19937 random(seed);
    QByteArray bytes = pristine;
    const auto size = bytes.size();
    const auto at = [&](qsizetype span) { return static_cast<qsizetype>(random() % std::max<qsizetype>(span, 1)); };
    switch (seed % 4) {
        case 0:  // a few bytes, a quarter of them in the header and schema page
            for (int i = 0, n = 1 + static_cast<int>(random() % 16); i < n; ++i)
                bytes[at(random() % 4 == 0 ? std::min<qsizetype>(size, 4096) : size)] = static_cast<char>(random());
            break;
        case 1:  // a burst
            for (qsizetype i = at(size), n = 16 + at(240); n > 0 && i < size; --n, ++i)
                bytes[i] = static_cast<char>(random());
            break;
        case 2: {  // a page wiped
            const qsizetype page = at(size / 4096) * 4096;
            for (qsizetype i = page; i < std::min(page + 4096, size); ++i) bytes[i] = 0;
            break;
        }
        default:  // cut short
            bytes.truncate(at(size / 4096) * 4096 + (random() % 2 ? 0 : at(4096)));
    }
    return bytes;
}

// Damaged copies, and odd databases (no row ids, refusing triggers, WAL, a huge word): each command serves or says
// why. Files that are no word database: refused at the load, and by every command, naming the file and the reason.
TEST(DamagedCopies, EveryCommandServesOrSaysWhy) {
    Scene s(50, 400);
    const QByteArray pristine = ReadFile(s.db);
    std::vector<QString> files;
    for (int n = 0, copies = TrialSize(24, 1000); n < copies; ++n) {
        files.push_back(s.dir.filePath(QStringLiteral("copy%1.mdb").arg(n)));
        WriteFile(files.back(), Damaged(pristine, TrialSeed(1000) + static_cast<std::uint32_t>(n)));
    }
    const QString columns = "CREATE TABLE Dictionary (ID INTEGER, Letters TEXT, Sorted TEXT, Word TEXT COLLATE NOCASE";
    const QString rows =
        "INSERT INTO Dictionary (Word, Sorted, Letters) VALUES ('tea','tea','tea'), ('eat','tea','tea')";
    const QStringList odd[] = {
        {columns + ", PRIMARY KEY (Word)) WITHOUT ROWID", rows},
        {columns + ")", rows, "CREATE TRIGGER a BEFORE INSERT ON Dictionary BEGIN SELECT RAISE(ABORT, 'no'); END",
         "CREATE TRIGGER b BEFORE UPDATE ON Dictionary BEGIN SELECT RAISE(ABORT, 'fixed'); END"},
        {"PRAGMA journal_mode=WAL", columns + ")", rows},
        {columns + ")", rows, "INSERT INTO Dictionary (Word) VALUES (printf('%.*c', 1000000, 'x'))",
         "INSERT INTO Dictionary (Word, Sorted, Letters) VALUES (X'FFFE00', X'00', NULL), (NULL, NULL, NULL)"}};
    for (const QStringList& statements : odd) {
        files.push_back(s.dir.filePath(QStringLiteral("odd%1.mdb").arg(files.size())));
        Connection c = Connection::create(files.back());
        for (const QString& statement : statements) c.execute(statement);
    }
    QByteArray noise(8192, 0);
    std::mt19937 random(99);
    for (char& c : noise) c = static_cast<char>(random());
    std::map<QString, QString> none{{"notes.mdb", "It has no table Dictionary"}, {"text.mdb", "Unable to open"},
                                    {"truncated.mdb", ""}, {"noise.mdb", ""}, {"header.mdb", ""},
                                    {"folder.mdb", "Unable to open"}};  // the reason given for each (empty: any)
    Connection::create(s.dir.filePath("notes.mdb")).execute("CREATE TABLE notes (body TEXT)");
    WriteFile(s.dir.filePath("text.mdb"), "apple\r\npear\r\n");
    WriteFile(s.dir.filePath("truncated.mdb"), pristine.left(5000));
    WriteFile(s.dir.filePath("noise.mdb"), noise);
    WriteFile(s.dir.filePath("header.mdb"), QByteArray("SQLite format 3", 16) + noise.left(4000));
    QDir().mkpath(s.dir.filePath("folder.mdb"));
    std::map<QString, QByteArray> noneBytes;
    for (const auto& [name, reason] : none) noneBytes[name] = ReadFile(files.emplace_back(s.dir.filePath(name)));
    std::vector<QStringList> cliRuns;
    std::vector<QString> cliFiles;
    const auto commands = WritingCommands(s);
    for (size_t n = 0; n < files.size(); ++n) {
        const QString& copy = files[n];
        const QString name = QFileInfo(copy).fileName();
        SCOPED_TRACE(copy.toStdString());
        std::vector<QStringList> runs{QStringList{"--db", copy} + commands[n % commands.size()].cli,
                                      {"--db", copy, "mask", "*"}};
        for (const Command& c : commands)
            if (none.count(name)) runs.push_back(QStringList{"--db", copy} + c.cli);
        for (const QStringList& run : runs) cliRuns.push_back(run), cliFiles.push_back(name);
        DatabaseState state;
        state.DatabasePath = copy;
        RecordingView view;
        const Outcome load = RunCommand([&](ScriptedDialogs& d, FakeRun&) { LoadDatabase(state, view, d); });
        if (none.count(name)) {
            EXPECT_FALSE(state.loaded());
            ASSERT_EQ(load.allFailures().size(), 1) << load.describe().toStdString();
            EXPECT_TRUE(load.allFailures()[0].contains(none[name])) << load.describe().toStdString();
        }
        if (!state.loaded()) {
            EXPECT_FALSE(load.allFailures().isEmpty()) << "refused without a reason";
            continue;
        }
        for (int m = 0; m < 5; ++m) {
            const Outcome search = RunCommand([&](ScriptedDialogs& d, FakeRun& r) {
                RunSearchForTest(state.CurrentDatabase, static_cast<TestMode>(m), "tea", 0, 0, false, &d, &r);
            });
            for (const QString& f : search.allFailures()) EXPECT_FALSE(f.trimmed().isEmpty());
        }
        for (const Command& c : commands) {
            if (!state.loaded()) break;
            const Outcome outcome = RunCommand([&](ScriptedDialogs& d, FakeRun& r) { c.core({state, s, d, r}); });
            for (const QString& f : outcome.allFailures()) EXPECT_FALSE(f.trimmed().isEmpty()) << c.name;
            if (state.loaded()) {
                EXPECT_FALSE(state.CurrentDatabase.inTransaction()) << c.name;
            }
        }
    }
    const auto results = CliRunner(s.dir.path()).runAll(cliRuns, s.cli);
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_FALSE(results[i].crashed) << cliRuns[i].join(' ').toStdString();
        EXPECT_LE(results[i].code, 1) << results[i];
        if (results[i].code == 1) {
            EXPECT_FALSE(results[i].error().trimmed().isEmpty()) << results[i];
        }
        if (none.count(cliFiles[i])) {
            EXPECT_TRUE(CliFailed(results[i], {s.dir.filePath(cliFiles[i])})) << cliRuns[i].join(' ').toStdString();
            EXPECT_TRUE(results[i].error().contains(none[cliFiles[i]])) << results[i];
        }
    }
    for (const auto& [name, bytes] : noneBytes) {
        EXPECT_EQ(ReadFile(s.dir.filePath(name)), bytes) << name.toStdString();
        EXPECT_EQ(s.folderEntries().filter(name), QStringList{name});  // nothing made beside it
    }
}

// Triggers and a view calling the program's functions: searched, every writing command refuses, nothing changes.

TEST(HostileSchema, TheWordTableIsSearchedButNeverChanged) {
    Scene s;
    {
        Connection c = Connection::open(s.db);
        c.execute("CREATE TABLE Seen (What TEXT)");
        for (const QString event : {"INSERT", "DELETE", "UPDATE"})
            c.execute("CREATE TRIGGER t" + event + " AFTER " + event + " ON Dictionary BEGIN INSERT INTO Seen " +
                      "VALUES (SortString('zyx') || LEN('ab') || UniqueChars('aab')); DELETE FROM Dictionary; END");
        c.execute("CREATE VIEW Probe AS SELECT Probe(Word) FROM Dictionary");
    }
    s.bytes = ReadFile(s.db);
    bool called = false;
    {
        Connection c = Connection::open(s.db);
        RowCallback probe(c, "Probe", 1, [&](const RowCallback::Arguments&) { return called = true; });
        EXPECT_THROW(c.scalar("SELECT COUNT(*) FROM Probe"), Error);  // unsafe use of Probe()
        c.execute("PRAGMA writable_schema=ON");
        EXPECT_THROW(c.execute("DELETE FROM sqlite_schema WHERE type='trigger'"), Error);
        EXPECT_THROW(c.scalar("SELECT length(zeroblob(2000000))"), Error);  // longer than any value of the program
    }
    EXPECT_FALSE(called);
    DatabaseState state;
    OpenWordDatabase(state, s.db);
    EXPECT_EQ(RunSearchForTest(state.CurrentDatabase, TestMode::Anagram, "tea").size(), 3);
    for (const Command& c : WritingCommands(s))
        ExpectCore(s, state, c, c.readsOnly ? QStringList{} : QStringList{"has triggers or is a view"});
    const auto commands = WritingCommands(s);
    ExpectCliRefused(commands, RunCliCommands(s, commands), {"has triggers or is a view"});
    state.CurrentDatabase.close();
    ExpectUntouched(s);
}

}  // namespace
}  // namespace lexivo::test
