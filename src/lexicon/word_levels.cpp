#include "lexicon/word_levels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <set>

#include "common/run_control.h"
#include "store/collation.h"
#include "store/engine.h"
#include "store/error.h"
#include "store/current_database.h"
#include "store/schema.h"

namespace lexivo {

namespace {

const QString kDictionary = QStringLiteral("Dictionary");

struct Stopped {};

// A list's text: UTF-8 where the whole file is valid UTF-8, else Latin-1 (each byte one character).
QString decodeList(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

}  // namespace

QString ScowlFolder() {
    const QByteArray folder = qgetenv("SCOWLDIR");
    return folder.isEmpty() ? kDefaultScowlFolder : QString::fromLocal8Bit(folder);
}

const QStringList& ScowlSpellings() {
    static const QStringList spellings = {QStringLiteral("american"), QStringLiteral("british"),
                                          QStringLiteral("canadian"), QStringLiteral("australian")};
    return spellings;
}

QString LevelKey(const QString& word) {
    QString key;
    key.reserve(word.size());
    for (const char32_t c : word.toUcs4()) {
        const char32_t folded = FoldCase(c);
        if (QChar::requiresSurrogates(folded)) {
            key += QChar(QChar::highSurrogate(folded));
            key += QChar(QChar::lowSurrogate(folded));
        } else {
            key += QChar(static_cast<char16_t>(folded));
        }
    }
    return key;
}

std::optional<ScowlLevels> ReadScowl(const QString& folder, const QString& spelling, RunControl& run) {
    const QFileInfo info(folder);
    if (!info.exists()) throw Error(QStringLiteral("The SCOWL folder %1 does not exist.").arg(folder));
    if (!info.isDir()) throw Error(QStringLiteral("%1 is not a folder of SCOWL word lists.").arg(folder));
    static const QRegularExpression name(
        QStringLiteral("^(english|[a-z]+)-(words|proper-names|upper|abbreviations|contractions)\\.([0-9]{1,2})$"));
    struct List {
        QString path;
        int level;
    };
    std::vector<List> lists;
    for (const QString& file : QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Name)) {
        const auto match = name.match(file);
        if (!match.hasMatch()) continue;
        if (match.captured(1) != QLatin1String("english") && match.captured(1) != spelling) continue;
        lists.push_back({folder + QLatin1Char('/') + file, match.captured(3).toInt()});
    }
    if (lists.empty())
        throw Error(QStringLiteral("The folder %1 holds no SCOWL word lists (files such as english-words.35 and "
                                   "%2-words.35), so no word got a level.")
                        .arg(folder, spelling));
    std::stable_sort(lists.begin(), lists.end(), [](const List& a, const List& b) { return a.level < b.level; });
    ScowlLevels result;
    run.setProgressMaximum(static_cast<qint64>(lists.size()));
    for (const List& list : lists) {
        QFile file(list.path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("The SCOWL list %1 cannot be read: %2").arg(list.path, file.errorString()));
        const QString text = decodeList(file.readAll());
        for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
            line = line.trimmed();
            if (line.isEmpty()) continue;
            // The lists of lower levels were read first: a word keeps the first level it was found at.
            const QString key = LevelKey(line.toString());
            if (!result.levels.contains(key)) result.levels.insert(key, list.level);
        }
        ++result.files;
        run.setProgressValue(result.files);
        run.step(result.files, list.path);
        if (run.stopFlag()) return std::nullopt;
    }
    return result;
}

std::optional<qint64> StoreWordLevels(Connection& db, const ScowlLevels& levels, RunControl& run) {
    Transaction transaction(db);
    EnsureLevelField(db);
    std::set<int> distinct;
    for (const int level : levels.levels) distinct.insert(level);
    const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM [Dictionary]"));
    run.setProgressMaximum(rows);
    qint64 seen = 0;
    qint64 listed = 0;
    QString lastWord;
    int lastLevel = 0;
    // One pass over the table: the CASE asks for each level in turn whether the row's word has one at most that
    // high, and the word is looked up once, at the first question of its row.
    RowCallback atMost(db, QStringLiteral("lexivo_level_at_most"), 2, [&](const RowCallback::Arguments& args) {
        const int limit = args[1] ? args[1]->toInt() : 0;
        if (limit == *distinct.begin()) {
            lastWord = args[0].value_or(QString());
            lastLevel = levels.levels.value(LevelKey(lastWord), 0);
            ++seen;
            run.step(seen, lastWord);
            if (run.stopFlag()) throw Stopped{};
        }
        const bool yes = lastLevel > 0 && lastLevel <= limit;
        if (yes) ++listed;
        return yes;
    });
    QString statement = QStringLiteral("UPDATE [Dictionary] SET [Level]=NULL");
    if (!distinct.empty()) {
        statement = QStringLiteral("UPDATE [Dictionary] SET [Level]=CASE");
        for (const int level : distinct)
            statement += QStringLiteral(" WHEN lexivo_level_at_most([Word],%1) THEN %1").arg(level);
        statement += QStringLiteral(" END");
    }
    try {
        atMost.execute(statement);
    } catch (const Stopped&) {
        return std::nullopt;
    }
    transaction.commit();
    run.flush(seen, QString());
    return listed;
}

std::optional<int> WordLevel(Connection& db, const QString& word) {
    if (!FieldExists(db, kDictionary, kLevelField)) return std::nullopt;
    Cursor cursor(db, QStringLiteral("SELECT [Level] FROM [Dictionary] WHERE [Word]='") + EscapeQuotes(word) +
                          QStringLiteral("' ORDER BY [Level] IS NULL,[Level]"));
    if (cursor.eof() || !cursor.value(0)) return std::nullopt;
    return cursor.value(0)->toInt();
}

}  // namespace lexivo
