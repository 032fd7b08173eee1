// The word list reader on any bytes: it ends, its position only moves forward, no item holds a line end, and
// the items that a list can carry as they are (no comma, no leading quote) come back unchanged when written one
// per line as the exports write them.

#include <QByteArray>
#include <QStringList>

#include "targets/fuzz_targets.h"
#include "wordlists/word_list_reader.h"

namespace lexivo::fuzz {

namespace {

QStringList readAll(const QByteArray& bytes) {
    WordListReader reader = WordListReader::fromBytes(bytes);
    QStringList items;
    qint64 last = reader.position();
    while (!reader.atEnd()) {
        items << reader.next();
        FUZZ_CHECK(reader.position() >= last, "the read position went back");
        FUZZ_CHECK(reader.position() <= reader.size(), "the read position passed the end");
        last = reader.position();
        FUZZ_CHECK(items.size() <= bytes.size() + 1, "more items than the bytes can hold");
    }
    return items;
}

bool carriedAsItIs(const QString& item, bool first) {
    if (item.contains(QLatin1Char(',')) || item.contains(QLatin1Char('\r')) || item.contains(QLatin1Char('\n')))
        return false;
    qsizetype i = 0;
    while (i < item.size() && item.at(i) == QLatin1Char(' ')) ++i;
    if (i < item.size() && item.at(i) == QLatin1Char('"')) return false;
    // A byte order mark at the very start of a list is taken as such.
    return !(first && item.startsWith(QChar(0xFEFF)));
}

}  // namespace

int WordListReaderTarget(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList items = readAll(bytes);
    for (const QString& item : items)
        FUZZ_CHECK(!item.contains(QLatin1Char('\r')) && !item.contains(QLatin1Char('\n')), "a line end in an item");

    QStringList plain;
    QByteArray written;
    for (const QString& item : items) {
        if (!carriedAsItIs(item, plain.isEmpty())) continue;
        plain << item;
        written += item.toUtf8() + "\r\n";
    }
    const QStringList reread = readAll(written);
    FUZZ_CHECK(reread == plain, "a list written one word per line did not read back as the same words");
    return 0;
}

}  // namespace lexivo::fuzz
