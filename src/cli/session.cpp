#include "cli/session.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "common/settings_file.h"
#include "store/engine.h"
#include "store/write_access.h"

namespace lexivo::cli {

void Output::line(const QString& text) {
    buffer_ += text.toUtf8();
    buffer_ += '\n';
    if (buffer_.size() >= kBlockBytes) writeOut();
}

QString Output::error() const {
    return QString::fromLocal8Bit(std::strerror(error_));
}

void Output::writeOut() {
    const char* data = buffer_.constData();
    qsizetype left = error_ == 0 ? buffer_.size() : 0;
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            if (run_) run_->requestStop();
            break;
        }
        data += n;
        left -= n;
    }
    buffer_.truncate(0);
}

// The window's settings file is beside the program (both programs are built into one folder) or in the
// configuration folder.
bool OpenDatabase(Session& s, const Invocation& inv) {
    QString path = inv.database;
    if (path.isEmpty()) {
        path = SettingsFile(QCoreApplication::applicationDirPath()).read();
        if (path.isEmpty()) {
            s.fail(
                QStringLiteral("no word database: the Lexivo window has none on record, so name one with --db FILE"));
            return false;
        }
        if (!QFileInfo::exists(path)) {
            s.fail(QStringLiteral("the word database %1, the one the Lexivo window last had open, does not exist")
                       .arg(path));
            return false;
        }
    } else if (!QFileInfo::exists(path)) {
        s.fail(QStringLiteral("the word database %1 does not exist").arg(path));
        return false;
    }
    if (QFileInfo(path).isDir()) {
        s.fail(QStringLiteral("Unable to open the word database %1. It is a folder.").arg(path));
        return false;
    }
    s.state.DatabasePath = path;
    try {
        LoadDatabase(s.state, s.view, s.dialogs);
    } catch (const DesignAccessCancelled&) {
        // The reason has been reported with the question.
        s.state.CurrentDatabase.close();
        return false;
    } catch (const Error& e) {
        s.fail(FailureReason(e));
        return false;
    }
    return s.state.loaded() && !s.dialogs.failed();
}

bool Writable(Session& s) {
    const QString problem = WriteProblem(s.db());
    if (problem.isEmpty()) return true;
    s.fail(problem);
    return false;
}

}  // namespace lexivo::cli
