#pragma once

// Runs the reliability child (the program's commands in a process of its own) and reads what it reports: the
// trials kill it at chosen moments, limit the size of the files it may write, or run it as an unprivileged user.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace lexivo::test {

inline QString ChildProgram() {
    return QStringLiteral(LEXIVO_RELIABILITY_CHILD);
}

struct ChildOptions {
    // Largest file the child may write (RLIMIT_FSIZE); SIGXFSZ is ignored, so a write past it fails with EFBIG.
    rlim_t fileSizeLimit = RLIM_INFINITY;
    // Run as this user and group (e.g. nobody) instead of the caller; -1 keeps the caller's.
    int uid = -1;
    int gid = -1;
};

// The report of one child: its output lines and how it ended.
struct ChildReport {
    QStringList lines;
    QString otherOutput;   // lines that are not part of the protocol (a sanitizer's report, say)
    bool killed = false;   // we killed it
    bool crashed = false;  // it ended by a signal
    int code = -1;         // its exit status (127: it could not be started)

    bool exitedNormally() const { return !crashed && code == 0; }
    // Lines starting with prefix, without it.
    QStringList with(const QString& prefix) const {
        QStringList found;
        for (const QString& line : lines)
            if (line.startsWith(prefix + QLatin1Char(' '))) found << line.mid(prefix.size() + 1);
        return found;
    }
    // The failures it reported: messages shown, and engine errors that reached a command's caller.
    QStringList failures() const { return with("dialog failure") + with("dialog error") + with("error"); }
    QString describe() const { return lines.join(QLatin1Char('\n')) + QLatin1Char('\n') + otherOutput; }
};

class ChildProcess {
public:
    // Runs program (the reliability child unless another is named) with args, standard output and error
    // together.
    explicit ChildProcess(const QStringList& args, const ChildOptions& options = {},
                          const QString& program = ChildProgram()) {
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.setStandardInputFile(QProcess::nullDevice());
        // Runs in the child between fork and exec: only async-signal-safe calls.
        process_.setChildProcessModifier([options] {
            if (options.fileSizeLimit != RLIM_INFINITY) {
                const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
                ::signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
            }
            if (options.gid >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(options.gid) != 0)) ::_exit(126);
            if (options.uid >= 0 && ::setuid(options.uid) != 0) ::_exit(126);
        });
        process_.start(program, args);
        started_ = process_.waitForStarted(10000);
        timer_.start();
    }

    bool started() const { return started_; }
    // Called from finish()'s onLine: kills the child as soon as the line has been read.
    void killNow() { killRequested_ = true; }
    double elapsedSeconds() const { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }

    // Reads output until the child ends or, when killAfterSeconds >= 0, until that much time has passed since
    // the start, when the child is killed with SIGKILL. onLine sees each protocol line as it arrives.
    ChildReport finish(double killAfterSeconds = -1, const std::function<void(const QString&)>& onLine = {}) {
        ChildReport report;
        if (!started_) {
            report.code = 127;
            return report;
        }
        const auto kill = [&] {
            process_.kill();
            process_.waitForFinished();
            report.killed = true;
        };
        while (!report.killed && process_.state() != QProcess::NotRunning) {
            int waitMs = -1;
            if (killAfterSeconds >= 0) {
                const double left = killAfterSeconds - elapsedSeconds();
                if (left <= 0) {
                    kill();
                    break;
                }
                waitMs = static_cast<int>(left * 1000) + 1;
            }
            process_.waitForReadyRead(waitMs);
            while (!report.killed && process_.canReadLine()) {
                take(report, process_.readLine(), onLine);
                if (killRequested_) kill();
            }
        }
        if (!report.killed) {
            process_.waitForFinished(-1);
            for (const QByteArray& line : process_.readAll().split('\n'))
                if (!line.isEmpty()) take(report, line, onLine);
        }
        report.crashed = process_.exitStatus() == QProcess::CrashExit;
        report.code = process_.exitCode();
        return report;
    }

private:
    static void take(ChildReport& report, QByteArray bytes, const std::function<void(const QString&)>& onLine) {
        static const QStringList kProtocol = {"committed", "dialog", "state", "error", "done",
                                              "view",      "status", "count", "found"};
        if (bytes.endsWith('\n')) bytes.chop(1);
        const QString line = QString::fromUtf8(bytes);
        if (!kProtocol.contains(line.section(QLatin1Char(' '), 0, 0))) {
            report.otherOutput += line + QLatin1Char('\n');
            return;
        }
        // The child writes a new line as \n and a backslash as \\.
        QString text;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line.at(i) == QLatin1Char('\\') && i + 1 < line.size()) {
                ++i;
                text += line.at(i) == QLatin1Char('n') ? QChar(u'\n') : line.at(i);
            } else {
                text += line.at(i);
            }
        }
        report.lines << text;
        if (onLine) onLine(text);
    }

    QProcess process_;
    QElapsedTimer timer_;
    bool started_ = false;
    bool killRequested_ = false;
};

// Runs the child (or another program) to its end.
inline ChildReport RunChild(const QStringList& args, const ChildOptions& options = {},
                            const QString& program = ChildProgram()) {
    ChildProcess child(args, options, program);
    return child.finish();
}

// Options that run the child as a user without the caller's rights, where permission bits would not stop the
// caller (root): "nobody", if the system has it and it may run the child. Without root, the caller's own rights
// are limited enough. Nothing when there is no such user.
inline std::optional<ChildOptions> UnprivilegedOptions() {
    ChildOptions options;
    if (::geteuid() != 0) return options;
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) return std::nullopt;
    options.uid = static_cast<int>(nobody->pw_uid);
    options.gid = static_cast<int>(nobody->pw_gid);
    // A build inside a private home folder is out of that user's reach.
    if (RunChild({}, options).code >= 126) return std::nullopt;
    return options;
}

// Every command of the child that writes to the database: list is a word list to import, work the compaction's
// folder, stored a word the database holds.
inline std::vector<QStringList> WritingChildCommands(const QString& list, const QString& work, const QString& stored) {
    return {{"import", list, "1"},
            {"import", list, "0"},
            {"add", "newword"},
            {"delete", stored},
            {"search", "Add", "newword"},
            {"search", "Delete", stored},
            {"rebuild"},
            {"quick"},
            {"check"},
            {"clear"},
            {"compact", work}};
}

// lexivo-cli run to its end, standard output and error together in otherOutput. The test fails, and the status
// is -1, when it hangs or dies of a signal.
inline QString CliProgram() {
    return QStringLiteral(LEXIVO_BINARY_DIR "/lexivo-cli");
}
inline int RunCli(const QStringList& args, QString* output = nullptr) {
    ChildProcess cli(args, {}, CliProgram());
    const ChildReport report = cli.finish(60.0);
    if (output) *output = report.otherOutput;
    if (report.killed || report.crashed) {
        ADD_FAILURE() << args.join(QLatin1Char(' ')).toStdString() << (report.killed ? " hung" : " ended by a signal")
                      << "\n"
                      << report.otherOutput.toStdString();
        return -1;
    }
    return report.code;
}

}  // namespace lexivo::test
