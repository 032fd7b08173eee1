// Copies of a small word database with random bytes changed, each loaded and searched in every mode, checked,
// exported and rebuilt: nothing may crash (the sanitizer build runs the full thousand copies in `make stress`),
// and every failure must reach the user as a message with its reason. The copies are reproducible: copy n is
// the n-th draw of a fixed seed.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "reliability/child_process.h"
#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/maintenance.h"
#include "wordlists/export.h"

namespace lexivo {
namespace {

using namespace lexivo::test;

class CorruptDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString original = dir.filePath("original.mdb");
        // Words that every mode finds something among.
        CreateWordDatabase(original, QStringList{"tea", "eat", "ate", "level", "stop", "pots", "cook", "cask", "don't",
                                                 "cafe", "letter", "a", "noon", "Ball", "ice-cream"} +
                                         GeneratedWords(400, 3));
        pristine = ReadFile(original);
    }

    // Copy n: a few bytes changed anywhere (a quarter of them in the header and schema page), a burst of bytes
    // overwritten, a whole page wiped or scrambled, or the file cut short.
    QByteArray corrupted(std::uint32_t seed) const {
        std::mt19937 random(seed);
        QByteArray bytes = pristine;
        const auto size = bytes.size();
        constexpr qsizetype kPage = 4096;
        const auto anywhere = [&](qsizetype span) {
            return static_cast<qsizetype>(random() % std::max<qsizetype>(span, 1));
        };
        const auto scramble = [&](qsizetype start, qsizetype length, bool wipe) {
            for (qsizetype i = start; i < std::min(start + length, size); ++i)
                bytes[i] = wipe ? '\0' : static_cast<char>(random() & 0xFF);
        };
        switch (seed % 4) {
            case 0:
                for (int i = 0, changes = 1 + static_cast<int>(random() % 16); i < changes; ++i)
                    scramble(anywhere(random() % 4 == 0 ? std::min(size, kPage) : size), 1, false);
                break;
            case 1:
                scramble(anywhere(size), 16 + anywhere(240), false);
                break;
            case 2: {
                const qsizetype page = anywhere(size / kPage) * kPage;
                scramble(page, kPage, random() % 2 == 0);
                break;
            }
            default:
                bytes.truncate(anywhere(size / kPage) * kPage + (random() % 2 == 0 ? 0 : anywhere(kPage)));
                break;
        }
        return bytes;
    }

    QTemporaryDir dir{MemoryFolderTemplate()};
    QByteArray pristine;
};

TEST_F(CorruptDatabases, EveryCopyIsRefusedOrServedAndEveryFailureIsReported) {
    const int copies = TrialSize(100, 1000);
    const std::uint32_t seed = TrialSeed(424242);
    const QString path = dir.filePath("copy.mdb");
    const QString exported = dir.filePath("export.txt");
    int refusedAtLoad = 0, commandsRun = 0, commandsFailed = 0, unreported = 0;
    for (int n = 0; n < copies; ++n) {
        SCOPED_TRACE(n);
        WriteFile(path, corrupted(seed + static_cast<std::uint32_t>(n)));
        DatabaseState state;
        state.DatabasePath = path;
        RecordingView view;
        const Outcome load = RunCommand([&](ScriptedDialogs& d, FakeRun&) { LoadDatabase(state, view, d); });
        if (!state.loaded()) {
            // Refused: one failure message that names the file.
            ++refusedAtLoad;
            const bool told = !load.threw && !load.failures.isEmpty() && load.shown.last() == load.failures.last() &&
                              load.failures.last().contains(path);
            EXPECT_TRUE(told) << load.describe().toStdString();
            if (!told) ++unreported;
            continue;
        }
        Connection& db = state.CurrentDatabase;
        db.setBusyTimeout(0);
        std::vector<std::function<void(ScriptedDialogs&, FakeRun&)>> commands;
        const std::pair<QString, QString> modes[] = {
            {kModeAnagram, "tea"}, {kModeSynogram, "level"}, {kModeLetters, "ea"},  {kModeMask, "c@#*"},
            {kModePalindrome, ""}, {kModeAdd, "newword"},    {kModeDelete, "stop"},
        };
        for (const auto& [mode, input] : modes)
            commands.push_back([&](ScriptedDialogs& d, FakeRun& r) {
                DriverSearch(db, {mode, input, LengthClause(1, "1", "12"), OrderClause(true)}, r, d.yes());
            });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) { CheckDatabase(db, r, d.no()); });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) {
            ExportWords(
                db, exported, false, [] { return WordFilter(); }, r, d);
        });
        commands.push_back([&](ScriptedDialogs& d, FakeRun& r) { CompleteRebuild(db, r, d); });
        for (const auto& command : commands) {
            const Outcome outcome = RunCommand(command);
            ++commandsRun;
            if (!outcome.allFailures().isEmpty()) ++commandsFailed;
            for (const QString& failure : outcome.allFailures())
                if (failure.trimmed().isEmpty()) ++unreported;
        }
        EXPECT_FALSE(db.inTransaction());
    }
    std::printf(
        "[ figure ] corrupt databases (seed %u): %d copies, 0 crashes; %d refused at load with a message; %d "
        "commands run on the others, %d failed with a message, %d failures unreported\n",
        seed, copies, refusedAtLoad, commandsRun, commandsFailed, unreported);
    EXPECT_EQ(unreported, 0);
}

// The command line on corrupt copies: every run ends with status 0 or 1 (never a signal), a failure with a
// message on standard error.
TEST_F(CorruptDatabases, TheCommandLineEndsCleanlyOnEveryCopy) {
    const QString path = dir.filePath("copy.mdb");
    const QStringList commands[] = {{"anagram", "tea"}, {"letters", "ea"}, {"mask", "c@#*"},
                                    {"palindromes"},    {"stats"},         {"check"}};
    const int copies = TrialSize(40, 150);
    int runs = 0, failed = 0;
    for (int n = 0; n < copies; ++n) {
        SCOPED_TRACE(n);
        const QByteArray bytes = corrupted(TrialSeed(5150) + static_cast<std::uint32_t>(n));
        for (const QStringList& command : commands) {
            WriteFile(path, bytes);
            QString output;
            const int status = RunCli(command + QStringList{"--db", path}, &output);
            ++runs;
            ASSERT_GE(status, 0);
            EXPECT_LE(status, 1) << output.toStdString();
            if (status != 0) {
                ++failed;
                EXPECT_TRUE(output.contains("lexivo-cli: ")) << output.toStdString();
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
