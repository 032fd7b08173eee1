#include "wordlists/word_list_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace lexivo {

namespace {

// Large enough that a list of 600,000 words costs a few dozen writes, small enough to stay unnoticed in memory.
constexpr qsizetype kBlockBytes = 256 * 1024;

}  // namespace

WordListWriter::WordListWriter() = default;

WordListWriter::~WordListWriter() {
    abandon();
}

bool WordListWriter::open(const QString& path, bool append) {
    abandon();
    error_.clear();
    path_ = path;
    append_ = append;
    const QFileInfo info(path);
    existed_ = info.exists();
    if (info.isDir()) {
        fail(QStringLiteral("A folder of that name exists."));
        return false;
    }
    if (append || (existed_ && !info.isFile())) {
        // A device or a pipe cannot be replaced by a new file renamed over it; it is written to directly.
        file_ = std::make_unique<QFile>(path);
        originalSize_ = existed_ && info.isFile() ? info.size() : 0;
        if (!file_->open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate))) {
            fail(file_->errorString());
            file_.reset();
            return false;
        }
        device_ = file_.get();
    } else {
        save_ = std::make_unique<QSaveFile>(path);
        // A writable file in a folder where no new file may be created is still written, only not atomically.
        save_->setDirectWriteFallback(true);
        if (!save_->open(QIODevice::WriteOnly)) {
            fail(save_->errorString());
            save_.reset();
            return false;
        }
        device_ = save_.get();
    }
    pending_.reserve(kBlockBytes + 1024);
    return true;
}

bool WordListWriter::writeLine(const QString& word) {
    if (!device_ || !error_.isEmpty()) return false;
    // Encoded straight into the block, without a temporary array per word.
    const qsizetype start = pending_.size();
    pending_.resize(start + encoder_.requiredSpace(word.size()) + 2);
    char* end = encoder_.appendToBuffer(pending_.data() + start, word);
    *end++ = '\r';
    *end++ = '\n';
    pending_.resize(end - pending_.constData());
    return pending_.size() < kBlockBytes || writePending();
}

bool WordListWriter::writePending() {
    if (pending_.isEmpty()) return true;
    // A short write is not yet a failure (the disk may just have filled up): the next attempt tells the reason.
    for (qsizetype done = 0; done < pending_.size();) {
        const qint64 n = device_->write(pending_.constData() + done, pending_.size() - done);
        if (n <= 0) {
            fail(device_->error() != QFileDevice::NoError ? device_->errorString()
                                                          : QStringLiteral("Nothing more could be written."));
            return false;
        }
        done += n;
    }
    pending_.truncate(0);
    return true;
}

bool WordListWriter::finish() {
    if (!device_) return error_.isEmpty();
    if (error_.isEmpty() && writePending()) {
        if (save_) {
            // The save file keeps a buffer of its own and commits even when emptying it failed: flush it first.
            if (save_->flush() && save_->commit()) {
                save_.reset();
                device_ = nullptr;
                return true;
            }
            fail(save_->errorString());
        } else if (file_->flush()) {
            file_->close();
            if (file_->error() == QFileDevice::NoError) {
                file_.reset();
                device_ = nullptr;
                return true;
            }
            fail(file_->errorString());
        } else {
            fail(file_->errorString());
        }
    }
    abandon();
    return false;
}

void WordListWriter::abandon() {
    pending_.truncate(0);
    device_ = nullptr;
    if (save_) {
        save_->cancelWriting();
        save_.reset();
    }
    if (file_) {
        file_->close();
        file_.reset();
        // Appended lines of a failed run go again, so that the file holds what it held before.
        if (append_) {
            if (!existed_)
                QFile::remove(path_);
            else if (QFileInfo(path_).isFile())
                QFile::resize(path_, originalSize_);
        }
    }
}

void WordListWriter::fail(const QString& reason) {
    if (error_.isEmpty()) error_ = reason;
}

}  // namespace lexivo
