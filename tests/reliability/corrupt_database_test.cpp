// Copies of a small word database with random bytes changed, each loaded and searched in every mode, checked,
// exported and rebuilt: nothing may crash (the sanitizer build runs the full thousand copies in `make stress`),
// and every failure must reach the user as a message with its reason. The copies are reproducible: copy n is
// the n-th draw of a fixed seed.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>
#include <exception>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "support/fake_run.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"
#include "wordlists/export.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

// Words that every mode finds something among.
QStringList sampleWords() {
    QStringList words = {"tea",   "eat",  "ate",    "level", "stop", "pots", "cook",     "cask",
                         "don't", "cafe", "letter", "a",     "noon", "Ball", "ice-cream"};
    words += GeneratedWords(400, 3);
    return words;
}

struct Tally {
    int copies = 0;
    int refusedAtLoad = 0;  // the load reported it, and no database was loaded
    int loaded = 0;
    int commandsRun = 0;
    int commandsReported = 0;  // failures reported with a reason
    int unreported = 0;        // failures without a message, or escaping as something other than an engine error
};

class CorruptDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString original = dir.filePath("original.mdb");
        CreateWordDatabase(original, sampleWords());
        pristine = FileBytes(original);
    }

    // Copy n: a few bytes changed anywhere (a quarter of them in the header and schema page), a burst of bytes
    // overwritten, a whole page wiped or scrambled, or the file cut short.
    static QByteArray corrupted(const QByteArray& pristine, std::uint32_t seed) {
        std::mt19937 random(seed);
        QByteArray bytes = pristine;
        const auto size = bytes.size();
        constexpr qsizetype kPage = 4096;
        const auto anywhere = [&](qsizetype span) {
            return static_cast<qsizetype>(random() % std::max<qsizetype>(span, 1));
        };
        switch (seed % 4) {
            case 0: {
                const int changes = 1 + static_cast<int>(random() % 16);
                for (int i = 0; i < changes; ++i) {
                    const qsizetype span = random() % 4 == 0 ? std::min(size, kPage) : size;
                    bytes[anywhere(span)] = static_cast<char>(random() & 0xFF);
                }
                break;
            }
            case 1: {
                const qsizetype start = anywhere(size);
                const qsizetype length = std::min<qsizetype>(16 + anywhere(240), size - start);
                for (qsizetype i = 0; i < length; ++i) bytes[start + i] = static_cast<char>(random() & 0xFF);
                break;
            }
            case 2: {
                const qsizetype page = anywhere(size / kPage) * kPage;
                const bool wipe = random() % 2 == 0;
                for (qsizetype i = page; i < std::min(page + kPage, size); ++i)
                    bytes[i] = wipe ? '\0' : static_cast<char>(random() & 0xFF);
                break;
            }
            default:
                bytes.truncate(anywhere(size / kPage) * kPage + (random() % 2 == 0 ? 0 : anywhere(kPage)));
                break;
        }
        return bytes;
    }

    // Runs one command; a failure must come as an engine error with a reason, or as a failure message.
    void command(const std::function<void(ScriptedDialogs&, FakeRun&)>& run, Tally& tally) {
        ScriptedDialogs dialogs;
        FakeRun fakeRun;
        ++tally.commandsRun;
        bool failed = false;
        try {
            run(dialogs, fakeRun);
        } catch (const Error& e) {
            failed = true;
            if (e.message().trimmed().isEmpty()) ++tally.unreported;
        } catch (const std::exception& e) {
            failed = true;
            ++tally.unreported;
            ADD_FAILURE() << "escaped as " << e.what();
        }
        for (const auto& shown : dialogs.shown()) {
            if (shown.kind != ScriptedDialogs::Kind::Failure && shown.kind != ScriptedDialogs::Kind::AbortRetryIgnore)
                continue;
            failed = true;
            if (shown.text.trimmed().isEmpty()) ++tally.unreported;
        }
        if (failed) ++tally.commandsReported;
        EXPECT_EQ(fakeRun.begins, fakeRun.ends);
    }

    // The search driver's frame: the mode in one transaction, an engine error shown as the search's failure.
    static void search(Connection& db, const QString& mode, const QString& input, Dialogs& dialogs, FakeRun& run) {
        CallbackSink sink([](const QString&) {});
        run.beginRun(kStartingSearch);
        try {
            Transaction transaction(db);
            RunSearchMode(db, {mode, input, LengthClause(1, "1", "12"), OrderClause(true)}, run, dialogs, sink);
            transaction.commit();
        } catch (...) {
            run.endRun();
            throw;
        }
        run.endRun();
    }

    void trial(int copies, std::uint32_t seed) {
        Tally tally;
        const QString path = dir.filePath("copy.mdb");
        const QString exported = dir.filePath("export.txt");
        for (int n = 0; n < copies; ++n) {
            SCOPED_TRACE(n);
            ++tally.copies;
            WriteFile(path, corrupted(pristine, seed + static_cast<std::uint32_t>(n)));
            DatabaseState state;
            state.DatabasePath = path;
            RecordingView view;
            ScriptedDialogs loadDialogs;
            bool loaded = false;
            try {
                loaded = LoadDatabase(state, view, loadDialogs);
            } catch (const std::exception& e) {
                ADD_FAILURE() << "the load let " << e.what() << " escape";
                ++tally.unreported;
                continue;
            }
            if (!loaded) {
                ++tally.refusedAtLoad;
                const bool told = !loadDialogs.shown().empty() &&
                                  loadDialogs.shown().back().kind == ScriptedDialogs::Kind::Failure &&
                                  loadDialogs.lastText().contains(path);
                EXPECT_TRUE(told) << loadDialogs.texts().join('\n').toStdString();
                if (!told) ++tally.unreported;
                continue;
            }
            ++tally.loaded;
            Connection& db = state.CurrentDatabase;
            db.setBusyTimeout(0);
            const std::pair<QString, QString> modes[] = {
                {kModeAnagram, "tea"}, {kModeSynogram, "level"}, {kModeLetters, "ea"},  {kModeMask, "c@#*"},
                {kModePalindrome, ""}, {kModeAdd, "newword"},    {kModeDelete, "stop"},
            };
            for (const auto& [mode, input] : modes)
                command([&](ScriptedDialogs& d, FakeRun& r) { search(db, mode, input, d.yes(), r); }, tally);
            command([&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db, r, d.no()); }, tally);
            command(
                [&](ScriptedDialogs& d, FakeRun& r) {
                    ExportWords(
                        db, exported, false, [] { return WordFilter(); }, r, d);
                },
                tally);
            command([&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db, r, d); }, tally);
            EXPECT_FALSE(db.inTransaction());
        }
        std::printf(
            "[ figure ] corrupt databases (seed %u): %d copies, 0 crashes; %d refused at load with a message, %d "
            "loaded; %d commands run on them, %d failed with a message, %d failures unreported\n",
            seed, tally.copies, tally.refusedAtLoad, tally.loaded, tally.commandsRun, tally.commandsReported,
            tally.unreported);
        EXPECT_EQ(tally.unreported, 0);
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QByteArray pristine;
};

TEST_F(CorruptDatabases, EveryCopyIsRefusedOrServedAndEveryFailureIsReported) {
    trial(TrialSize(100, 1000), TrialSeed(424242));
}

// The command line on corrupt copies: every run ends with status 0 or 1 (never a signal), a failure with a
// message on standard error.
TEST_F(CorruptDatabases, TheCommandLineEndsCleanlyOnEveryCopy) {
    const QString cli = QStringLiteral(LEXIVO_BINARY_DIR "/lexivo-cli");
    if (!QFileInfo(cli).isExecutable()) GTEST_SKIP() << "no lexivo-cli";
    const QString path = dir.filePath("copy.mdb");
    const QStringList commands[] = {{"anagram", "tea"}, {"letters", "ea"}, {"mask", "c@#*"},
                                    {"palindromes"},    {"stats"},         {"check"}};
    const int copies = TrialSize(40, 150);
    int runs = 0, failed = 0;
    for (int n = 0; n < copies; ++n) {
        SCOPED_TRACE(n);
        const QByteArray bytes = corrupted(pristine, TrialSeed(5150) + static_cast<std::uint32_t>(n));
        for (const QStringList& command : commands) {
            WriteFile(path, bytes);
            ChildProcess child(command + QStringList{"--db", path}, {}, cli);
            const ChildReport report = child.finish(60.0);
            ++runs;
            ASSERT_FALSE(report.killed) << command.join(' ').toStdString() << " hung";
            ASSERT_TRUE(WIFEXITED(report.status)) << command.join(' ').toStdString() << " ended by a signal\n"
                                                  << report.otherOutput.toStdString();
            const int status = WEXITSTATUS(report.status);
            EXPECT_TRUE(status == 0 || status == 1) << status;
            if (status != 0) {
                ++failed;
                EXPECT_TRUE(report.otherOutput.contains("lexivo-cli: ")) << report.otherOutput.toStdString();
            }
        }
    }
    std::printf(
        "[ figure ] corrupt databases through lexivo-cli: %d runs on %d copies, 0 signals, %d ended with a "
        "message and status 1\n",
        runs, copies, failed);
}

}  // namespace
}  // namespace lexivo
