#include "lexicon/word_levels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>
#include <cstring>
#include <limits>

#include "common/run_control.h"
#include "store/collation.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/error.h"
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

// The UTF-8 text of LevelKey(word) in key: a word of ASCII characters folded as it is read, any other through
// LevelKey. Most words are ASCII, and so the look-up of a row makes no string.
void levelKeyOf(QStringView word, QByteArray& key) {
    key.resize(word.size());
    char* out = key.data();
    for (const QChar c : word) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            key = LevelKey(word.toString()).toUtf8();
            return;
        }
        *out++ = static_cast<char>(u >= 'A' && u <= 'Z' ? u + 32 : u);
    }
}

void levelKeyOf(QByteArrayView utf8, QByteArray& key) {
    key.resize(utf8.size());
    char* out = key.data();
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            key = LevelKey(QString::fromUtf8(utf8)).toUtf8();
            return;
        }
        *out++ = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
}

}  // namespace

quint32 ScowlLevels::hashOf(QByteArrayView key) {
    return static_cast<quint32>(qHash(key, 0));
}

size_t ScowlLevels::slotOf(QByteArrayView key, quint32 hash) const {
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.level < 0) return i;
        if (slot.hash == hash && slot.length == key.size() &&
            std::memcmp(text_.constData() + slot.offset, key.data(), static_cast<size_t>(key.size())) == 0)
            return i;
    }
}

int ScowlLevels::value(QByteArrayView key) const {
    if (slots_.empty()) return 0;
    return std::max(slots_[slotOf(key, hashOf(key))].level, 0);
}

void ScowlLevels::insert(QByteArrayView key, int level) {
    if (static_cast<size_t>(count_ + 1) * 2 > slots_.size()) rehash(std::max<size_t>(1024, slots_.size() * 2));
    const quint32 hash = hashOf(key);
    Slot& slot = slots_[slotOf(key, hash)];
    if (slot.level < 0) {
        if (text_.size() + key.size() > std::numeric_limits<quint32>::max())
            throw Error(QStringLiteral("The SCOWL lists hold more text than a table of levels can keep."));
        slot = {static_cast<quint32>(text_.size()), static_cast<quint32>(key.size()), hash, level};
        text_.append(key);
        ++count_;
    }
    slot.level = level;
}

void ScowlLevels::reserve(qsizetype keys) {
    size_t capacity = 1024;
    while (capacity < static_cast<size_t>(keys) * 2) capacity *= 2;
    if (capacity > slots_.size()) rehash(capacity);
}

// At most half the slots in use: a look-up of a word no list holds ends at a free slot after a probe or two.
void ScowlLevels::rehash(size_t capacity) {
    std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(capacity));
    for (const Slot& slot : old) {
        if (slot.level < 0) continue;
        size_t i = slot.hash & (capacity - 1);
        while (slots_[i].level >= 0) i = (i + 1) & (capacity - 1);
        slots_[i] = slot;
    }
}

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
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name)) {
        const auto match = name.match(file.fileName());
        if (!match.hasMatch()) continue;
        if (match.captured(1) != QLatin1String("english") && match.captured(1) != spelling) continue;
        lists.push_back({folder + QLatin1Char('/') + file.fileName(), match.captured(3).toInt()});
        bytes += file.size();
    }
    if (lists.empty())
        throw Error(QStringLiteral("The folder %1 holds no SCOWL word lists (files such as english-words.35 and "
                                   "%2-words.35), so no word got a level.")
                        .arg(folder, spelling));
    std::stable_sort(lists.begin(), lists.end(), [](const List& a, const List& b) { return a.level < b.level; });
    ScowlLevels result;
    // About one word in ten bytes: the table grows once or twice at most on the way.
    result.reserve(bytes / 10);
    run.setProgressMaximum(static_cast<qint64>(lists.size()));
    for (const List& list : lists) {
        QFile file(list.path);
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("The SCOWL list %1 cannot be read: %2").arg(list.path, file.errorString()));
        const QString text = decodeList(file.readAll());
        const QStringView all(text);
        QByteArray key;
        for (qsizetype start = 0; start < all.size();) {
            qsizetype end = all.indexOf(QLatin1Char('\n'), start);
            if (end < 0) end = all.size();
            const QStringView line = all.sliced(start, end - start).trimmed();
            start = end + 1;
            if (line.isEmpty()) continue;
            // The lists of lower levels were read first: a word keeps the first level it was found at.
            levelKeyOf(line, key);
            if (!result.contains(key)) result.insert(key, list.level);
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
    const qint64 rows = db.scalar(QStringLiteral("SELECT count(*) FROM [Dictionary]"));
    run.setProgressMaximum(rows);
    qint64 seen = 0;
    qint64 listed = 0;
    QByteArray key;
    const auto levelOf = [&](std::optional<QByteArrayView> word) -> std::optional<qint64> {
        if (!word) return std::nullopt;
        levelKeyOf(*word, key);
        const int level = levels.value(key);
        return level > 0 ? std::optional<qint64>(level) : std::nullopt;
    };
    // One pass over the table that writes only the rows whose level changes: the condition asks each row's
    // level once (with the progress and the stop), and the new value of a changed row is the answer just given.
    QByteArray lastWord;
    std::optional<qint64> lastLevel;
    NumberCallback asked(db, QStringLiteral("lexivo_level"), [&](std::optional<QByteArrayView> word) {
        lastLevel = levelOf(word);
        lastWord = word ? word->toByteArray() : QByteArray();
        if (lastLevel) ++listed;
        ++seen;
        run.step(seen, word ? QString::fromUtf8(*word) : QString());
        if (run.stopFlag()) throw Stopped{};
        return lastLevel;
    });
    NumberCallback stored(db, QStringLiteral("lexivo_level_stored"), [&](std::optional<QByteArrayView> word) {
        return word && *word == lastWord ? lastLevel : levelOf(word);
    });
    try {
        asked.execute(
            QStringLiteral("UPDATE [Dictionary] SET [Level]=lexivo_level_stored([Word]) "
                           "WHERE [Level] IS NOT lexivo_level([Word])"));
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
