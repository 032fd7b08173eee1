#include "wordlists/word_list_reader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "store/error.h"

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

TEST(WordListReader, SplitsAtEveryKindOfLineEnd) {
    const QStringList expected{"apple", "pear", "plum"};
    EXPECT_EQ(Items("apple\r\npear\r\nplum\r\n"), expected);
    EXPECT_EQ(Items("apple\npear\nplum\n"), expected);
    EXPECT_EQ(Items("apple\rpear\rplum\r"), expected);
    EXPECT_EQ(Items("apple\r\npear\nplum"), expected);
    // LF CR is two line ends, so a blank line between them.
    EXPECT_EQ(Items("apple\n\rpear"), (QStringList{"apple", "", "pear"}));
}

TEST(WordListReader, BlankLinesAndTheFinalLineEnd) {
    EXPECT_TRUE(Items("").isEmpty());
    EXPECT_EQ(Items("\r\n"), QStringList{""});
    EXPECT_EQ(Items("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Items("a\n\n"), (QStringList{"a", ""}));
    EXPECT_EQ(Items("a"), QStringList{"a"});
}

TEST(WordListReader, CommasSeparateItems) {
    EXPECT_EQ(Items("apple,pear\r\n"), (QStringList{"apple", "pear"}));
    EXPECT_EQ(Items("a,\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Items("a,"), (QStringList{"a", ""}));
    EXPECT_EQ(Items(","), (QStringList{"", ""}));
    EXPECT_EQ(Items("a,,b"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(Items(",a"), (QStringList{"", "a"}));
}

TEST(WordListReader, ItemsAreNotTrimmed) {
    EXPECT_EQ(Items("  apple  ,\tpear\r\n"), (QStringList{"  apple  ", "\tpear"}));
    EXPECT_EQ(Items("   \r\n"), QStringList{"   "});
}

TEST(WordListReader, QuotedItems) {
    EXPECT_EQ(Items("\"a,b\",c\r\n"), (QStringList{"a,b", "c"}));
    EXPECT_EQ(Items("  \"spaced\"  \r\n"), QStringList{"spaced"});
    EXPECT_EQ(Items("\"\"\r\nx"), (QStringList{"", "x"}));
    // Whatever follows the closing quote up to the separator is dropped.
    EXPECT_EQ(Items("\"ice\"cream,x\r\n"), (QStringList{"ice", "x"}));
    // A quote that does not open the item is part of it.
    EXPECT_EQ(Items("it\"s,x"), (QStringList{"it\"s", "x"}));
}

TEST(WordListReader, AnUnbalancedQuoteEndsAtTheLineEnd) {
    EXPECT_EQ(Items("\"open, still open\r\nnext\r\n"), (QStringList{"open, still open", "next"}));
    EXPECT_EQ(Items("\"open\rnext"), (QStringList{"open", "next"}));
    EXPECT_EQ(Items("\"open"), QStringList{"open"});
    EXPECT_EQ(Items("\""), QStringList{""});
}

TEST(WordListReader, Utf8WithAndWithoutByteOrderMark) {
    const QString cafe = QString::fromUtf8("caf\xC3\xA9");
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");

    WordListReader plain = WordListReader::fromBytes("caf\xC3\xA9\r\n\xF0\x9F\x98\x80\r\n");
    EXPECT_TRUE(plain.isUtf8());
    EXPECT_EQ(ReadAll(plain), (QStringList{cafe, emoji}));

    WordListReader marked = WordListReader::fromBytes(
        "\xEF\xBB\xBF"
        "caf\xC3\xA9,x");
    EXPECT_TRUE(marked.isUtf8());
    EXPECT_EQ(ReadAll(marked), (QStringList{cafe, "x"}));

    WordListReader onlyMark = WordListReader::fromBytes("\xEF\xBB\xBF");
    EXPECT_TRUE(onlyMark.atEnd());

    // A byte order mark is skipped only at the start.
    EXPECT_EQ(Items("a\n\xEF\xBB\xBF"
                    "b"),
              (QStringList{"a", QChar(0xFEFF) + QStringLiteral("b")}));
}

TEST(WordListReader, Cp1252WhenNotUtf8) {
    WordListReader reader = WordListReader::fromBytes("caf\xE9\r\n\x93quoted\x94\r\n\x80,\x81\x8D\x8F\x90\x9D\r\n");
    EXPECT_FALSE(reader.isUtf8());
    const QStringList items = ReadAll(reader);
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0], QString::fromUtf8("caf\xC3\xA9"));
    // Curly quotes are letters, not the item quote.
    EXPECT_EQ(items[1], QString::fromUtf8("\xE2\x80\x9Cquoted\xE2\x80\x9D"));
    EXPECT_EQ(items[2], QString::fromUtf8("\xE2\x82\xAC"));
    // The bytes code page 1252 leaves undefined keep their own numbers.
    EXPECT_EQ(items[3], QString::fromUtf16(u"\u0081\u008D\u008F\u0090\u009D"));
}

TEST(WordListReader, OneInvalidSequenceMakesTheWholeFile1252) {
    // The first line alone is valid UTF-8; the last byte of the file is not.
    WordListReader reader = WordListReader::fromBytes("caf\xC3\xA9\r\nna\xEFve");
    EXPECT_FALSE(reader.isUtf8());
    EXPECT_EQ(ReadAll(reader),
              (QStringList{QString::fromUtf8("caf\xC3\x83\xC2\xA9"), QString::fromUtf8("na\xC3\xAFve")}));
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

TEST(WordListReader, NulBytesAreOrdinaryCharacters) {
    const QByteArray bytes("a\0b,\0\r\n", 7);
    WordListReader reader = WordListReader::fromBytes(bytes);
    const QStringList items = ReadAll(reader);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0], QString::fromUtf16(u"a\u0000b", 3));
    EXPECT_EQ(items[1], QString(QChar(0)));
}

TEST(WordListReader, PositionCountsConsumedBytes) {
    WordListReader reader = WordListReader::fromBytes("ab,c\r\nd");
    EXPECT_EQ(reader.size(), 7);
    EXPECT_EQ(reader.position(), 0);
    reader.next();
    EXPECT_EQ(reader.position(), 3);
    reader.next();
    EXPECT_EQ(reader.position(), 6);
    reader.next();
    EXPECT_EQ(reader.position(), reader.size());
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.next(), "");  // reading past the end is harmless
    EXPECT_EQ(reader.position(), reader.size());

    WordListReader marked = WordListReader::fromBytes("\xEF\xBB\xBFx");
    EXPECT_EQ(marked.position(), 3);
    marked.next();
    EXPECT_EQ(marked.position(), marked.size());
}

class WordListFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = temp.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir temp;
};

TEST_F(WordListFile, ReadsAFile) {
    WordListReader reader(write("list.txt", "apple\r\n\"pear, ripe\"\r\n"));
    EXPECT_EQ(reader.size(), 21);
    EXPECT_EQ(ReadAll(reader), (QStringList{"apple", "pear, ripe"}));
    EXPECT_EQ(reader.position(), reader.size());
}

TEST_F(WordListFile, AMissingFileOrAFolderThrowsWithTheReason) {
    const QString missing = temp.filePath("missing.txt");
    try {
        WordListReader reader(missing);
        FAIL() << "a missing file was read";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains(missing)) << error.message().toStdString();
        EXPECT_GT(error.message().size(), missing.size() + 20);
    }
    try {
        WordListReader reader(temp.path());
        FAIL() << "a folder was read";
    } catch (const Error& error) {
        EXPECT_TRUE(error.message().contains("folder")) << error.message().toStdString();
    }
}

TEST_F(WordListFile, AnUnreadableFileThrows) {
    const QString path = write("locked.txt", "word\r\n");
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
