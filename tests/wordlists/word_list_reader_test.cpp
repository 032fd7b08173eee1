#include "wordlists/word_list_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "store/error.h"
#include "support/word_db.h"

namespace lexivo {
namespace {

QStringList ReadAll(WordListReader& reader) {
    QStringList items;
    while (!reader.atEnd()) items << reader.next();
    return items;
}

QStringList Items(const QByteArray& bytes) {
    WordListReader reader = WordListReader::fromBytes(bytes);
    return ReadAll(reader);
}

// Items end at a comma or at any line end (LF CR is two); they are not trimmed. A quote that opens an item
// protects commas up to the closing quote or the line end, and whatever follows it up to the separator is
// dropped; a quote elsewhere is part of the item.
TEST(WordListReader, SplitsIntoItems) {
    const std::pair<QByteArray, QStringList> cases[] = {
        {"apple\r\npear\r\nplum\r\n", {"apple", "pear", "plum"}},
        {"apple\npear\rplum", {"apple", "pear", "plum"}},
        {"apple\n\rpear", {"apple", "", "pear"}},
        {"", {}},
        {"\r\n", {""}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"a,\r\nb", {"a", "", "b"}},
        {"a,", {"a", ""}},
        {",", {"", ""}},
        {"a,,b", {"a", "", "b"}},
        {"  apple  ,\tpear\r\n", {"  apple  ", "\tpear"}},
        {"\"a,b\",c\r\n", {"a,b", "c"}},
        {"  \"spaced\"  \r\n", {"spaced"}},
        {"\"\"\r\nx", {"", "x"}},
        {"\"ice\"cream,x\r\n", {"ice", "x"}},
        {"it\"s,x", {"it\"s", "x"}},
        {"\"open, still open\r\nnext\r\n", {"open, still open", "next"}},
        {"\"open\rnext", {"open", "next"}},
        {"\"open", {"open"}},
        {"\"", {""}}};
    for (const auto& [bytes, items] : cases) EXPECT_EQ(Items(bytes), items) << bytes.toStdString();
}

// UTF-8 unless a single sequence is invalid, then code page 1252 for the whole file; a byte order mark is skipped
// at the start only.
TEST(WordListReader, Encodings) {
    const struct {
        QByteArray bytes;
        bool utf8;
        QStringList items;
    } cases[] = {
        {"caf\xC3\xA9\r\n\xF0\x9F\x98\x80\r\n", true, {"café", "😀"}},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9,x",
         true,
         {"café", "x"}},
        {"\xEF\xBB\xBF", true, {}},
        {"a\n\xEF\xBB\xBF"
         "b",
         true,
         {"a", QChar(0xFEFF) + QStringLiteral("b")}},
        // Curly quotes are letters, not the item quote; the bytes 1252 leaves undefined keep their own numbers.
        {"caf\xE9\r\n\x93quoted\x94\r\n\x80,\x81\x8D\x8F\x90\x9D\r\n",
         false,
         {"café", "“quoted”", "€", QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D")}},
        {"caf\xC3\xA9\r\nna\xEFve", false, {"cafÃ©", "naïve"}},  // only the last line is not UTF-8
        {QByteArray("a\0b,\0\r\n", 7), true, {QString::fromUtf16(u"a\u0000b", 3), QString(QChar(0))}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes.toHex().constData());
        WordListReader reader = WordListReader::fromBytes(c.bytes);
        EXPECT_EQ(reader.isUtf8(), c.utf8);
        EXPECT_EQ(ReadAll(reader), c.items);
    }
}

TEST(WordListReader, MalformedUtf8FormsAreNotUtf8) {
    for (const QByteArray& bytes : {
             QByteArray("\xC0\xAF"),          // overlong "/"
             QByteArray("\xE0\x80\xAF"),      // overlong, three bytes
             QByteArray("\xED\xA0\x80"),      // a surrogate
             QByteArray("\xF4\x90\x80\x80"),  // above U+10FFFF
             QByteArray("\xF5\x80\x80\x80"),  // no such lead byte
             QByteArray("\xE2\x82"),          // cut short at the end of the file
             QByteArray("\xE2\x82x"),         // cut short by an ASCII byte
             QByteArray("\xA9"),              // a lone continuation byte
         }) {
        EXPECT_FALSE(WordListReader::fromBytes(bytes).isUtf8()) << bytes.toHex().constData();
    }
    EXPECT_TRUE(WordListReader::fromBytes("\xF4\x8F\xBF\xBF\xEF\xBF\xBF\xDF\xBF").isUtf8());
}

TEST(WordListReader, PositionCountsConsumedBytes) {
    WordListReader reader = WordListReader::fromBytes("ab,c\r\nd");
    EXPECT_EQ(reader.size(), 7);
    for (const qint64 position : {0, 3, 6}) {
        EXPECT_EQ(reader.position(), position);
        reader.next();
    }
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), "");  // reading past the end is harmless
    EXPECT_EQ(reader.position(), reader.size());

    WordListReader marked = WordListReader::fromBytes("\xEF\xBB\xBFx");
    EXPECT_EQ(marked.position(), 3);
    marked.next();
    EXPECT_EQ(marked.position(), marked.size());
}

TEST(WordListReader, FilesAndTheReasonsTheyCannotBeRead) {
    QTemporaryDir temp;
    const QString path = temp.filePath("list.txt");
    test::WriteFile(path, "apple\r\n\"pear, ripe\"\r\n");
    {
        WordListReader reader(path);
        EXPECT_EQ(reader.size(), 21);
        EXPECT_EQ(ReadAll(reader), (QStringList{"apple", "pear, ripe"}));
        EXPECT_EQ(reader.position(), reader.size());
    }
    const QString missing = temp.filePath("missing.txt");
    for (const auto& [file, reason] : {std::pair{missing, missing}, std::pair{temp.path(), QString("folder")}}) {
        try {
            WordListReader reader(file);
            ADD_FAILURE() << file.toStdString() << " was read";
        } catch (const Error& error) {
            EXPECT_TRUE(error.message().contains(reason)) << error.message().toStdString();
            EXPECT_GT(error.message().size(), reason.size() + 20);
        }
    }
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner));
    QFile probe(path);
    if (probe.open(QIODevice::ReadOnly)) GTEST_SKIP() << "running with rights that ignore file permissions";
    EXPECT_THROW(WordListReader reader(path), Error);
}

// A large real list read back item for item, compared with a plain split of the same text.
TEST(WordListReader, ReadsALargeDictionaryItemForItem) {
    QFile file("/usr/share/dict/american-english-insane");
    if (!file.open(QIODevice::ReadOnly)) GTEST_SKIP() << "no large dictionary on this machine";
    const QByteArray bytes = file.readAll();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\r')) GTEST_SKIP() << "not a plain list";
    QStringList expected = QString::fromUtf8(bytes).split(u'\n');
    if (expected.last().isEmpty()) expected.removeLast();

    WordListReader reader("/usr/share/dict/american-english-insane");
    EXPECT_EQ(ReadAll(reader), expected);
}

}  // namespace
}  // namespace lexivo
