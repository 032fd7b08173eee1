#pragma once

// Runs the built lexivo-cli as a user runs it: its own process, its exit status, standard output and standard
// error kept apart.

#include <gtest/gtest.h>

#include <QtCore>
#include <functional>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "support/word_db.h"

namespace lexivo::test {

inline const QString kCliProgram = QStringLiteral(LEXIVO_BINARY_DIR "/lexivo-cli");

struct CliResult {
    int code = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;

    QString output() const { return QString::fromUtf8(out); }
    QString error() const { return QString::fromUtf8(err); }
    // Standard output and standard error as lines ("\n" ends each).
    QStringList lines() const { return splitLines(output()); }
    QStringList messages() const { return splitLines(error()); }
    static QStringList splitLines(QString text) {
        if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }
};

inline std::ostream& operator<<(std::ostream& os, const CliResult& r) {
    return os << "status " << r.code << (r.crashed ? " (crashed)" : "") << "\nstdout: " << r.out.toStdString()
              << "\nstderr: " << r.err.toStdString();
}

struct CliOptions {
    QString program = kCliProgram;
    QString standardOutputFile;           // instead of a pipe (/dev/full, say)
    std::function<void()> childModifier;  // runs in the child before the program (to drop rights)
    std::function<void(QProcess&)> whileRunning;
};

// Runs the program with a configuration folder and a home of the test's own: whatever settings the developer's
// own window keeps must never be what a test reads.
class CliRunner {
public:
    explicit CliRunner(const QString& scratchFolder) : environment(QProcessEnvironment::systemEnvironment()) {
        const QDir scratch(scratchFolder);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("HOME"), scratch.filePath(QStringLiteral("home")));
        scratch.mkpath(QStringLiteral("home"));
    }

    CliResult run(const QStringList& args, const CliOptions& options = {}) const {
        return runAll({args}, options).front();
    }

    // Runs each argument list in a process of its own, all at once (commands that wait for a lock wait
    // together), and returns their results in the same order.
    std::vector<CliResult> runAll(const std::vector<QStringList>& argLists, const CliOptions& options = {}) const {
        std::vector<std::unique_ptr<QProcess>> processes;
        for (const QStringList& args : argLists) {
            auto& process = *processes.emplace_back(std::make_unique<QProcess>());
            process.setProcessEnvironment(environment);
            process.setProgram(options.program);
            process.setArguments(args);
            process.setStandardInputFile(QProcess::nullDevice());
            if (!options.standardOutputFile.isEmpty()) process.setStandardOutputFile(options.standardOutputFile);
            if (options.childModifier) process.setChildProcessModifier(options.childModifier);
            process.start();
        }
        std::vector<CliResult> results(argLists.size());
        for (size_t i = 0; i < processes.size(); ++i) {
            QProcess& process = *processes[i];
            if (!process.waitForStarted(10000)) {
                ADD_FAILURE() << "lexivo-cli did not start: " << process.errorString().toStdString();
                continue;
            }
            if (options.whileRunning) options.whileRunning(process);
            if (process.state() != QProcess::NotRunning && !process.waitForFinished(180000)) {
                process.kill();
                process.waitForFinished();
                ADD_FAILURE() << "lexivo-cli did not finish";
            }
            results[i].crashed = process.exitStatus() != QProcess::NormalExit;
            results[i].code = process.exitCode();
            results[i].out = process.readAllStandardOutput();
            results[i].err = process.readAllStandardError();
        }
        return results;
    }

    QProcessEnvironment environment;
};

// A scratch folder with a word database of the test's own (words.mdb, holding the given words).
class CliFixture : public ::testing::Test {
protected:
    explicit CliFixture(QStringList initialWords = {}) : words(std::move(initialWords)) {}
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        CreateWordDatabase(database, words);
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    CliResult cli(const QStringList& args, const CliOptions& options = {}) const { return runner.run(args, options); }
    // A command on the test's database.
    CliResult on(const QStringList& args, const CliOptions& options = {}) const {
        return cli(QStringList{QStringLiteral("--db"), database} + args, options);
    }

    const QStringList words;
    QTemporaryDir dir;
    CliRunner runner{dir.path()};
    const QString database = path(QStringLiteral("words.mdb"));
};

}  // namespace lexivo::test
