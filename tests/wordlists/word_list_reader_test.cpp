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

}  // namespace
}  // namespace lexivo
