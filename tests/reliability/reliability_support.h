#pragma once

// What the fault trials share: word lists, soundness checks, the frame a command runs in, the size of a trial.

#include <gtest/gtest.h>

#include <QtWidgets>
#include <cstdint>
#include <exception>
#include <functional>
#include <random>

#include "store/engine.h"
#include "store/keys.h"
#include "support/fake_run.h"
#include "support/reference.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {

inline bool StressRun() {
    return qEnvironmentVariableIntValue("LEXIVO_STRESS") != 0;
}
inline int TrialSize(int quick, int stress) {
    return StressRun() ? stress : quick;
}

// A scratch folder in memory where the system has room (the largest trial writes 100 MB): a kill leaves the same.
inline QString MemoryFolderTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    constexpr qint64 kEnough = 1024ll * 1024 * 1024;
    if (shm.isDir() && shm.isWritable() && QStorageInfo(shm.filePath()).bytesAvailable() > kEnough)
        return QStringLiteral("/dev/shm/lexivo-trial-XXXXXX");
    return QDir::tempPath() + QStringLiteral("/lexivo-trial-XXXXXX");
}

// Distinct lower-case words, reproducible from the seed: six letters that number the word, and up to four more.
inline QStringList GeneratedWords(int count, std::uint32_t seed) {
    std::mt19937 random(seed);
    QStringList words;
    words.reserve(count);
    constexpr std::uint64_t kSpace = 26ull * 26 * 26 * 26 * 26 * 26;
    for (int i = 0; i < count; ++i) {
        std::uint64_t n = (static_cast<std::uint64_t>(i) * 7919ull + seed) % kSpace;  // 7919 is prime to 26
        QString word;
        for (int k = 0; k < 6; ++k, n /= 26) word += QChar(u'a' + static_cast<char16_t>(n % 26));
        const int extra = static_cast<int>(random() % 5);
        for (int k = 0; k < extra; ++k) word += QChar(u'a' + static_cast<char16_t>(random() % 26));
        words << word;
    }
    return words;
}

inline QByteArray WordListBytes(const QStringList& words) {
    QByteArray bytes;
    for (const QString& w : words) bytes += w.toUtf8() + "\r\n";
    return bytes;
}

inline QString IntegrityCheck(const QString& path) {
    try {
        Connection db = Connection::open(path);
        QStringList found;
        for (Cursor rows(db, QStringLiteral("PRAGMA integrity_check")); !rows.eof(); rows.moveNext())
            found << rows.value(0).value_or(QString());
        return found.join(QLatin1Char('\n'));
    } catch (const Error& e) {
        return QStringLiteral("cannot open: ") + e.message();
    }
}

// How a command ended: the failures it showed, the engine error that reached its caller, everything it showed.
struct Outcome {
    QStringList failures;
    QString thrown;
    bool threw = false;
    QStringList shown;

    QStringList allFailures() const { return threw ? failures + QStringList{thrown} : failures; }
    QString describe() const { return shown.join(QLatin1Char('\n')) + QLatin1Char('\n') + thrown; }
};

// Only the engine's errors may escape a command, and every run it begins it must end.

inline Outcome RunCommand(const std::function<void(ScriptedDialogs&, FakeRun&)>& command) {
    ScriptedDialogs dialogs;
    FakeRun run;
    Outcome outcome;
    try {
        command(dialogs, run);
    } catch (const Error& e) {
        outcome.threw = true;
        outcome.thrown = e.message();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "escaped as " << e.what();
    }
    for (const auto& shown : dialogs.shown()) {
        outcome.shown << shown.text;
        if (shown.kind == ScriptedDialogs::Kind::Failure || shown.kind == ScriptedDialogs::Kind::AbortRetryIgnore)
            outcome.failures << shown.text;
    }
    EXPECT_EQ(run.begins, run.ends);
    return outcome;
}

}  // namespace lexivo::test
