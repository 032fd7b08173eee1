#pragma once

#include <QByteArray>
#include <QString>

namespace lexivo {

// Reads the items of a word list file: items are separated by line ends (CR LF, LF or a lone CR) and by
// commas; an item in double quotes is taken without the quotes and may then hold commas (an unbalanced quote
// ends at the line end); a blank line is one empty item. Items are returned as read, not trimmed, except that
// spaces in front of an opening quote are skipped.
//
// The file is decoded as UTF-8 when the whole of it is valid UTF-8 (a byte order mark is skipped), otherwise
// as Windows code page 1252.
class WordListReader {
public:
    // Reads the whole file; throws Error with the reason when it cannot be opened or read.
    explicit WordListReader(const QString& path);
    // Reads items from bytes held in memory.
    static WordListReader fromBytes(QByteArray bytes);

    bool atEnd() const { return position_ >= data_.size() && !trailingEmptyItem_; }
    QString next();
    // Bytes consumed so far, and the size of the file in bytes.
    qint64 position() const { return position_; }
    qint64 size() const { return data_.size(); }
    bool isUtf8() const { return utf8_; }

private:
    WordListReader() = default;
    void detectEncoding();
    QString decode(const char* begin, qsizetype length) const;

    QByteArray data_;
    qsizetype position_ = 0;
    bool utf8_ = true;
    QString cp1252Text_;              // the whole file decoded, byte for unit, when it is not UTF-8
    bool trailingEmptyItem_ = false;  // the file ends in a comma: one empty item is still to come
};

}  // namespace lexivo
