#include "store/compaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <vector>

#include "common/dialogs.h"
#include "store/current_database.h"
#include "store/schema.h"
#include "store/write_access.h"

namespace lexivo {

namespace {

const QString kErrorTitle = QStringLiteral("Error!");

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

[[noreturn]] void fail(const QString& what, int code) {
    throw Error(what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(code)));
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Removal is a matter of the folder's rights, so a read-only leftover goes as well.
void removeFile(const QString& path) {
    if (::unlink(encoded(path)) != 0 && errno != ENOENT)
        fail(QStringLiteral("Unable to delete %1").arg(shown(path)), errno);
}

void removeQuietly(const QString& path) {
    ::unlink(encoded(path));
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The copy's data must be on the disk before a rename publishes it, or a crash could leave a database name
// on an empty file.
void syncFile(const QString& path) {
    Descriptor file(::open(encoded(path), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) fail(QStringLiteral("Unable to open %1").arg(shown(path)), errno);
    if (::fsync(file.get()) != 0) fail(QStringLiteral("Unable to write %1 to the disk").arg(shown(path)), errno);
}

// Makes a rename durable. Some file systems cannot sync a folder; the rename has happened all the same.
void syncFolder(const QString& folder) {
    Descriptor dir(::open(encoded(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

// The compacted database keeps the rights of the file it replaces.
void copyPermissions(const QString& from, const QString& to) {
    struct stat original {};
    if (::stat(encoded(from), &original) != 0) fail(QStringLiteral("Unable to read %1").arg(shown(from)), errno);
    if (::chmod(encoded(to), original.st_mode & 07777) != 0)
        fail(QStringLiteral("Unable to set the rights of %1").arg(shown(to)), errno);
}

void copyFile(const QString& from, const QString& to) {
    Descriptor source(::open(encoded(from), O_RDONLY | O_CLOEXEC));
    if (source.get() < 0) fail(QStringLiteral("Unable to open %1").arg(shown(from)), errno);
    removeFile(to);
    Descriptor target(::open(encoded(to), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (target.get() < 0) fail(QStringLiteral("Unable to create %1").arg(shown(to)), errno);
    try {
        std::vector<char> buffer(1 << 20);
        for (;;) {
            const ssize_t got = ::read(source.get(), buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) fail(QStringLiteral("Unable to read %1").arg(shown(from)), errno);
            if (got == 0) break;
            for (ssize_t done = 0; done < got;) {
                const ssize_t put = ::write(target.get(), buffer.data() + done, static_cast<size_t>(got - done));
                if (put < 0 && errno == EINTR) continue;
                if (put < 0) fail(QStringLiteral("Unable to write %1").arg(shown(to)), errno);
                done += put;
            }
        }
        if (::fsync(target.get()) != 0) fail(QStringLiteral("Unable to write %1 to the disk").arg(shown(to)), errno);
    } catch (const Error&) {
        removeQuietly(to);
        throw;
    }
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo first(a), second(b);
    if (first.exists() && second.exists()) return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

}  // namespace

CompactionResult CompactDatabase(DatabaseState& state, DatabaseView& view, Dialogs& dialogs, const QString& workFolder,
                                 const CompactionHooks& hooks) {
    CompactionResult result;
    if (!state.loaded()) return result;
    result.loaded = true;

    // The file itself is replaced, also where DatabasePath is a link to it.
    const QFileInfo info(state.DatabasePath);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QString targetFolder = QFileInfo(target).absolutePath();
    const QString intermediate = QDir(workFolder).filePath(kCompactionFileName);
    const QString nearCopy =
        QDir(targetFolder).filePath(QLatin1Char('.') + QFileInfo(target).fileName() + QStringLiteral(".compacting"));

    // Nothing is closed or removed before these checks: a refusal leaves the database loaded as it was.
    QString problem = WriteProblem(state.CurrentDatabase);
    if (problem.isEmpty() && sameFile(intermediate, target))
        problem = QStringLiteral("it is itself the intermediate file %1.").arg(shown(intermediate));
    if (problem.isEmpty()) {
        try {
            if (!QDir().mkpath(workFolder))
                throw Error(QStringLiteral("Unable to create the folder %1.").arg(shown(workFolder)));
            removeFile(intermediate);  // a leftover of an interrupted compaction
            removeFile(nearCopy);
        } catch (const Error& e) {
            problem = e.message();
        }
    }
    if (!problem.isEmpty()) {
        dialogs.failure(QStringLiteral("The database cannot be compacted: %1").arg(problem));
        return result;
    }

    view.setStatus(QStringLiteral("Compacting database..."));
    state.CurrentDatabase.close();

    auto rename = [&](const QString& from, const QString& to) {
        const QByteArray a = encoded(from), b = encoded(to);
        return hooks.rename ? hooks.rename(a.constData(), b.constData()) : ::rename(a.constData(), b.constData());
    };
    // Runs a step until it succeeds or the user gives it up.
    auto attempt = [&](CompactionStep step, const std::function<void()>& work) {
        for (;;) {
            try {
                if (hooks.beforeStep) hooks.beforeStep(step);
                work();
                return true;
            } catch (const Error& e) {
                if (dialogs.abortRetryIgnore(e.message(), kErrorTitle) != Dialogs::ErrorChoice::Retry) return false;
            }
        }
    };

    bool acrossDevices = false;
    // Another program's write in progress would be committed into the file that the copy replaces, and lost:
    // the write lock is taken before the copy is made and held until the copy has replaced the database.
    Connection writeLock;
    bool done = attempt(CompactionStep::Compact, [&] {
        removeFile(intermediate);  // what a failed attempt may have left
        writeLock = Connection::open(target);
        writeLock.execute(QStringLiteral("BEGIN IMMEDIATE"));
        Connection source = Connection::open(target);
        source.compactInto(intermediate, hooks.whileWorking);
        source.close();
        copyPermissions(target, intermediate);
        syncFile(intermediate);
    });
    done = done && attempt(CompactionStep::Replace, [&] {
               if (rename(intermediate, target) == 0) {
                   syncFolder(targetFolder);
                   return;
               }
               if (errno != EXDEV)
                   fail(QStringLiteral("Unable to replace %1 with its compacted copy").arg(shown(target)), errno);
               acrossDevices = true;
           });
    if (done && acrossDevices) {
        // A rename cannot cross devices: the copy goes into the database's own folder first, so that the
        // replacement is still one rename and the database never exists only as a copy.
        done = attempt(CompactionStep::CopyAcross,
                       [&] {
                           copyFile(intermediate, nearCopy);
                           copyPermissions(target, nearCopy);
                       }) &&
               attempt(CompactionStep::Replace, [&] {
                   if (rename(nearCopy, target) != 0)
                       fail(QStringLiteral("Unable to replace %1 with its compacted copy").arg(shown(target)), errno);
                   syncFolder(targetFolder);
               });
    }
    writeLock.close();
    result.compacted = done;
    // DatabasePath holds a whole database now, the original or the compacted one: the copies are of no use.
    removeQuietly(intermediate);
    removeQuietly(nearCopy);

    bool reloaded = false;
    try {
        reloaded = attempt(CompactionStep::Reload, [&] { LoadDatabase(state, view, dialogs); });
    } catch (const DesignAccessCancelled&) {
        // The user has given up on a database that another program holds; it stays unloaded.
    }
    if (!reloaded) {
        state.CurrentDatabase.close();
        state.DatabasePath.clear();
        view.showNoDatabase();
    }
    result.loaded = state.loaded();
    return result;
}

}  // namespace lexivo
