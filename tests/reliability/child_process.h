#pragma once

// Runs the reliability child (the program's commands in a process of its own) and reads what it reports: the
// trials kill it at chosen moments, limit the size of the files it may write, or run it as an unprivileged user.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
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
    QString otherOutput;  // lines that are not part of the protocol (a sanitizer's report, say)
    bool killed = false;  // we killed it
    int status = 0;       // raw wait status

    bool exitedNormally() const { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }
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
    // Runs program (the reliability child unless another is named) with args.
    explicit ChildProcess(const QStringList& args, const ChildOptions& options = {},
                          const QString& program = ChildProgram()) {
        std::vector<std::string> argStrings;
        argStrings.push_back(QFile::encodeName(program).toStdString());
        for (const QString& a : args) argStrings.push_back(a.toLocal8Bit().toStdString());
        std::vector<char*> argv;
        for (auto& s : argStrings) argv.push_back(s.data());
        argv.push_back(nullptr);

        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only async-signal-safe calls between fork and exec.
            ::dup2(fds[1], 1);
            ::dup2(fds[1], 2);
            if (options.fileSizeLimit != RLIM_INFINITY) {
                struct rlimit limit {
                    options.fileSizeLimit, options.fileSizeLimit
                };
                ::signal(SIGXFSZ, SIG_IGN);  // stays ignored across exec
                if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
            }
            if (options.gid >= 0 && (::setgroups(0, nullptr) != 0 || ::setgid(options.gid) != 0)) ::_exit(126);
            if (options.uid >= 0 && ::setuid(options.uid) != 0) ::_exit(126);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(fds[1]);
        fd_ = fds[0];
        started_ = std::chrono::steady_clock::now();
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
        if (fd_ >= 0) ::close(fd_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    // Called from finish()'s onLine: kills the child as soon as the line has been read.
    void killNow() { killRequested_ = true; }
    double elapsedSeconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    }

    // Reads output until the child closes it or, when killAfterSeconds >= 0, until that much time has passed
    // since the start, when the child is killed with SIGKILL. onLine sees each protocol line as it arrives.
    ChildReport finish(double killAfterSeconds = -1, const std::function<void(const QString&)>& onLine = {}) {
        ChildReport report;
        std::string buffer;
        bool open = fd_ >= 0;
        while (open) {
            int timeoutMs = -1;
            if (killAfterSeconds >= 0) {
                const double left = killAfterSeconds - elapsedSeconds();
                if (left <= 0) {
                    ::kill(pid_, SIGKILL);
                    report.killed = true;
                    break;
                }
                timeoutMs = static_cast<int>(left * 1000) + 1;
            }
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, timeoutMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready <= 0) continue;
            char chunk[65536];
            const ssize_t got = ::read(fd_, chunk, sizeof chunk);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                open = false;
                break;
            }
            buffer.append(chunk, static_cast<size_t>(got));
            for (size_t end; (end = buffer.find('\n')) != std::string::npos;) {
                take(report, QString::fromUtf8(buffer.data(), static_cast<qsizetype>(end)), onLine);
                buffer.erase(0, end + 1);
            }
            if (killRequested_) {
                ::kill(pid_, SIGKILL);
                report.killed = true;
                break;
            }
        }
        if (!report.killed && !buffer.empty()) take(report, QString::fromUtf8(buffer), onLine);
        ::waitpid(pid_, &report.status, 0);
        reaped_ = true;
        return report;
    }

private:
    static void take(ChildReport& report, QString line, const std::function<void(const QString&)>& onLine) {
        static const QStringList kProtocol = {"committed", "dialog", "state", "error", "done",
                                              "view",      "status", "count", "found"};
        const QString kind = line.section(QLatin1Char(' '), 0, 0);
        if (!kProtocol.contains(kind)) {
            report.otherOutput += line + QLatin1Char('\n');
            return;
        }
        report.lines << unescape(line);
        if (onLine) onLine(report.lines.back());
    }
    static QString unescape(const QString& line) {
        QString out;
        out.reserve(line.size());
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line.at(i) == QLatin1Char('\\') && i + 1 < line.size()) {
                ++i;
                out += line.at(i) == QLatin1Char('n') ? QChar(u'\n') : line.at(i);
            } else {
                out += line.at(i);
            }
        }
        return out;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    bool reaped_ = false;
    bool killRequested_ = false;
    std::chrono::steady_clock::time_point started_;
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
    const ChildReport probe = RunChild({}, options);
    if (WIFEXITED(probe.status) && WEXITSTATUS(probe.status) >= 126) return std::nullopt;
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
    const std::string what = QStringList(args).join(QLatin1Char(' ')).toStdString();
    if (report.killed) {
        ADD_FAILURE() << what << " hung";
        return -1;
    }
    if (!WIFEXITED(report.status)) {
        ADD_FAILURE() << what << " ended by a signal\n" << report.otherOutput.toStdString();
        return -1;
    }
    return WEXITSTATUS(report.status);
}

}  // namespace lexivo::test
