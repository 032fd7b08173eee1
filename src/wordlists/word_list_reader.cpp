#include "wordlists/word_list_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <array>

#include "store/error.h"

namespace lexivo {

namespace {

constexpr char kQuote = '"';

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}
bool IsItemEnd(char c) {
    return c == ',' || IsLineEnd(c);
}
bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF. A file that breaks any of these is
// taken as code page 1252 instead, so a stray é typed in a single-byte editor reads as é and not as U+FFFD.
bool IsValidUtf8(const char* text, qsizetype size) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* end = p + size;
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        qsizetype length = 0;
        unsigned char low = 0x80;  // the allowed range of the second byte
        unsigned char high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0) low = 0xA0;   // overlong
            if (c == 0xED) high = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0) low = 0x90;   // overlong
            if (c == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return false;
        }
        if (end - p < length) return false;
        if (p[1] < low || p[1] > high) return false;
        for (qsizetype i = 2; i < length; ++i) {
            if (!IsContinuation(p[i])) return false;
        }
        p += length;
    }
    return true;
}

// Code page 1252 where it differs from Latin-1; the five bytes it leaves undefined stay the C1 controls of
// the same number, as Windows itself decodes them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeCp1252ByTable(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        *out++ = (c >= 0x80 && c <= 0x9F) ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return text;
}

// Every byte of code page 1252 is one UTF-16 unit, so the decoded text lines up with the bytes and an item can
// be cut from it by its byte offsets.
QString DecodeCp1252(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1252", QStringDecoder::Flag::Stateless);
    if (decoder.isValid()) {
        QString text = decoder.decode(bytes);
        if (!decoder.hasError() && text.size() == bytes.size()) return text;
    }
    // Qt built without ICU knows no code page 1252.
    return DecodeCp1252ByTable(bytes);
}

}  // namespace

WordListReader::WordListReader(const QString& path) {
    if (QFileInfo(path).isDir()) {
        throw Error(QStringLiteral("Cannot read the word list %1: it is a folder.").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw Error(QStringLiteral("Cannot open the word list %1: %2").arg(path, file.errorString()));
    }
    data_ = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        throw Error(QStringLiteral("Cannot read the word list %1: %2").arg(path, file.errorString()));
    }
    detectEncoding();
}

WordListReader WordListReader::fromBytes(QByteArray bytes) {
    WordListReader reader;
    reader.data_ = std::move(bytes);
    reader.detectEncoding();
    return reader;
}

void WordListReader::detectEncoding() {
    utf8_ = IsValidUtf8(data_.constData(), data_.size());
    if (utf8_) {
        if (data_.startsWith("\xEF\xBB\xBF")) position_ = 3;
    } else {
        cp1252Text_ = DecodeCp1252(data_);
    }
}

QString WordListReader::decode(const char* begin, qsizetype length) const {
    if (utf8_) {
        // QString::fromUtf8 would drop a byte order mark at the start of each item; only the file's own is one
        // (skipped already), and one at the start of an item is a character of the word.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(begin, length));
    }
    return cp1252Text_.mid(begin - data_.constData(), length);
}

QString WordListReader::next() {
    if (position_ >= data_.size()) {
        trailingEmptyItem_ = false;
        return QString();
    }
    const char* const data = data_.constData();
    const qsizetype size = data_.size();
    qsizetype i = position_;

    qsizetype firstNonSpace = i;
    while (firstNonSpace < size && data[firstNonSpace] == ' ') ++firstNonSpace;

    QString item;
    if (firstNonSpace < size && data[firstNonSpace] == kQuote) {
        // A quoted item runs to the closing quote, or to the line end when the quote is never closed; whatever
        // follows the closing quote up to the next separator is dropped.
        const qsizetype start = firstNonSpace + 1;
        i = start;
        while (i < size && data[i] != kQuote && !IsLineEnd(data[i])) ++i;
        item = decode(data + start, i - start);
        if (i < size && data[i] == kQuote) ++i;
        while (i < size && !IsItemEnd(data[i])) ++i;
    } else {
        const qsizetype start = i;
        while (i < size && !IsItemEnd(data[i])) ++i;
        item = decode(data + start, i - start);
    }

    if (i < size) {
        if (data[i] == ',') {
            ++i;
            // "a," at the very end of the file still holds an empty item after the comma, as it would before
            // a line end.
            trailingEmptyItem_ = i == size;
        } else if (data[i] == '\r') {
            ++i;
            if (i < size && data[i] == '\n') ++i;
        } else {
            ++i;
        }
    }
    position_ = i;
    return item;
}

}  // namespace lexivo
