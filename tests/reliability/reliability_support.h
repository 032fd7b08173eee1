#pragma once

// What the fault trials share: generated word lists, the soundness checks a database must pass after a fault,
// and the size of a trial (small in `make test`, full in `make stress`).

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <random>

#include "store/engine.h"
#include "store/keys.h"

namespace lexivo::test {

// `make stress` sets LEXIVO_STRESS=1: the trials then run at their full size.
inline bool StressRun() {
    return qEnvironmentVariableIntValue("LEXIVO_STRESS") != 0;
}
inline int TrialSize(int quick, int stress) {
    return StressRun() ? stress : quick;
}

// The seed of a trial's random choices: its own, or LEXIVO_TRIAL_SEED to explore further (the figure printed
// names the seed, so that a failure can be run again).
inline std::uint32_t TrialSeed(std::uint32_t own) {
    bool ok = false;
    const uint seed = qEnvironmentVariable("LEXIVO_TRIAL_SEED").toUInt(&ok);
    return ok ? seed : own;
}

// A scratch folder in memory where the system has one: a killed process leaves the same files there as on a disk
// (only a power cut would tell them apart), and the trials do not wait for the disk's syncs.
inline QString MemoryFolderTemplate() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    // Containers often give it only 64 MB; the largest trial writes a list of 100 MB.
    constexpr qint64 kEnough = 1024ll * 1024 * 1024;
    if (shm.isDir() && shm.isWritable() && QStorageInfo(shm.filePath()).bytesAvailable() > kEnough)
        return QStringLiteral("/dev/shm/lexivo-trial-XXXXXX");
    return QDir::tempPath() + QStringLiteral("/lexivo-trial-XXXXXX");
}

// Distinct lower-case words (distinct also without regard to case), reproducible from the seed: six letters
// that number the word, and up to four more.
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

// A word list file as the exports write it: one word per line, CR LF, UTF-8.
inline QByteArray WordListBytes(const QStringList& words) {
    QByteArray bytes;
    for (const QString& w : words) bytes += w.toUtf8() + "\r\n";
    return bytes;
}

// "ok", or what SQLite's own check found wrong.
inline QString IntegrityCheck(Connection& db) {
    Cursor rows(db, QStringLiteral("PRAGMA integrity_check"));
    rows.moveLast();
    QStringList found;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) found << rows.value(0).value_or(QString());
    return found.join(QLatin1Char('\n'));
}
inline QString IntegrityCheck(const QString& path) {
    try {
        Connection db = Connection::open(path);
        return IntegrityCheck(db);
    } catch (const Error& e) {
        return QStringLiteral("cannot open: ") + e.message();
    }
}

// Rows whose keys are not the keys of their word (a null key counts as unsound).
inline qint64 RowsWithWrongKeys(Connection& db) {
    Cursor rows(db, QStringLiteral("SELECT [Word],[Sorted],[Letters] FROM [Dictionary]"));
    rows.moveLast();
    qint64 wrong = 0;
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const WordKeys keys = KeysOf(rows.value(0).value_or(QString()));
        if (rows.value(1) != keys.sorted || rows.value(2) != keys.letters) ++wrong;
    }
    return wrong;
}

inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace lexivo::test
