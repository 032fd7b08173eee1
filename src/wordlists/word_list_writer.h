#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <memory>

class QFile;
class QFileDevice;
class QSaveFile;

namespace lexivo {

// Writes a word list file: one word per line, each line ended by CR LF, UTF-8 without a byte order mark (a list
// of plain ASCII words is byte for byte a single-byte code page file).
//
// A file written afresh goes through a save file: what the file held before stays until finish() succeeds, so a
// failure (no room, no permission) never leaves a half-written list in its place. Appending writes to the file
// itself; a failure then cuts it back to the length it had, or removes it when it did not exist.
class WordListWriter {
public:
    WordListWriter();
    ~WordListWriter();  // an unfinished file is abandoned
    WordListWriter(const WordListWriter&) = delete;
    WordListWriter& operator=(const WordListWriter&) = delete;

    // False, with errorString(), when the file cannot be created or opened for writing.
    bool open(const QString& path, bool append);
    // Adds one line. The text is collected in memory and written in large blocks; false once writing has failed.
    bool writeLine(const QString& word);
    // Writes what is pending and closes the file, which then holds every line written. False, with
    // errorString(), when that fails; the file is then left as it was before.
    bool finish();
    // Gives up: the file is left as it was before open().
    void abandon();

    QString errorString() const { return error_; }

private:
    bool writePending();
    void fail(const QString& reason);

    std::unique_ptr<QSaveFile> save_;
    std::unique_ptr<QFile> file_;
    QFileDevice* device_ = nullptr;
    QByteArray pending_;
    // Each word is encoded on its own: a broken surrogate at the end of one never reaches into the next.
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    QString path_;
    bool append_ = false;
    bool existed_ = false;
    qint64 originalSize_ = 0;
    QString error_;
};

}  // namespace lexivo
