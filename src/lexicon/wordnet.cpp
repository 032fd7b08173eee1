#include "lexicon/wordnet.h"

#include <QFile>
#include <QHash>
#include <cstdlib>
#include <mutex>

#include "store/error.h"

namespace lexivo {

namespace {

constexpr DetachmentRule kRules[] = {
    {PartOfSpeech::Noun, "s", ""},        {PartOfSpeech::Noun, "ses", "s"},   {PartOfSpeech::Noun, "xes", "x"},
    {PartOfSpeech::Noun, "zes", "z"},     {PartOfSpeech::Noun, "ches", "ch"}, {PartOfSpeech::Noun, "shes", "sh"},
    {PartOfSpeech::Noun, "men", "man"},   {PartOfSpeech::Noun, "ies", "y"},   {PartOfSpeech::Verb, "s", ""},
    {PartOfSpeech::Verb, "ies", "y"},     {PartOfSpeech::Verb, "es", "e"},    {PartOfSpeech::Verb, "es", ""},
    {PartOfSpeech::Verb, "ed", "e"},      {PartOfSpeech::Verb, "ed", ""},     {PartOfSpeech::Verb, "ing", "e"},
    {PartOfSpeech::Verb, "ing", ""},      {PartOfSpeech::Adjective, "er", ""}, {PartOfSpeech::Adjective, "est", ""},
    {PartOfSpeech::Adjective, "er", "e"}, {PartOfSpeech::Adjective, "est", "e"},
};

const char* fileSuffix(PartOfSpeech pos) {
    switch (pos) {
        case PartOfSpeech::Noun:
            return "noun";
        case PartOfSpeech::Verb:
            return "verb";
        case PartOfSpeech::Adjective:
            return "adj";
        case PartOfSpeech::Adverb:
            return "adv";
    }
    return "";
}

// WordNet's form of a word: lower case, "_" between words.
QByteArray lemmaForm(const QString& word) {
    return word.trimmed().toLower().replace(QLatin1Char(' '), QLatin1Char('_')).toUtf8();
}

QString shownForm(QByteArrayView lemma) {
    return QString::fromUtf8(lemma).replace(QLatin1Char('_'), QLatin1Char(' '));
}

QByteArrayView fieldAt(QByteArrayView line, qsizetype& at) {
    while (at < line.size() && line[at] == ' ') ++at;
    const qsizetype start = at;
    while (at < line.size() && line[at] != ' ') ++at;
    return line.sliced(start, at - start);
}

}  // namespace

QString PartOfSpeechName(PartOfSpeech pos) {
    static const QString names[] = {QStringLiteral("noun"), QStringLiteral("verb"), QStringLiteral("adjective"),
                                    QStringLiteral("adverb")};
    return names[static_cast<int>(pos)];
}

std::optional<PartOfSpeech> PartOfSpeechOfLetter(const QString& letter) {
    if (letter == QLatin1String("n")) return PartOfSpeech::Noun;
    if (letter == QLatin1String("v")) return PartOfSpeech::Verb;
    if (letter == QLatin1String("a") || letter == QLatin1String("s")) return PartOfSpeech::Adjective;
    if (letter == QLatin1String("r")) return PartOfSpeech::Adverb;
    return std::nullopt;
}

QString WordNetFolder() {
    const QByteArray folder = qgetenv("WNSEARCHDIR");
    return folder.isEmpty() ? QStringLiteral("/usr/share/wordnet") : QString::fromLocal8Bit(folder);
}

std::span<const DetachmentRule> DetachmentRules() {
    return kRules;
}

QString MeaningHeading(const QString& word, const Meaning& meaning) {
    const QString pos = PartOfSpeechName(meaning.pos);
    if (lemmaForm(word) == lemmaForm(meaning.baseForm)) return meaning.baseForm + QStringLiteral(", ") + pos;
    return word + QStringLiteral(" \u2192 ") + meaning.baseForm + QStringLiteral(", ") + pos;
}

// A file mapped into memory for as long as the WordNet lives; its bytes are never read beyond its size.
struct WordNet::File {
    QFile file;
    QByteArrayView bytes;

    File(const QString& path) : file(path) {
        if (!file.open(QIODevice::ReadOnly))
            throw Error(QStringLiteral("The WordNet file %1 cannot be read (%2): install the package %3.")
                            .arg(path, file.errorString(), kWordNetPackage));
        if (file.size() > 0) {
            const uchar* data = file.map(0, file.size());
            if (!data) throw Error(QStringLiteral("The WordNet file %1 cannot be mapped: %2").arg(path, file.errorString()));
            bytes = QByteArrayView(reinterpret_cast<const char*>(data), file.size());
        }
    }
};

struct WordNet::Part {
    PartOfSpeech pos;
    QString dataName;
    File index;
    File data;
    QHash<QByteArray, QList<QByteArray>> exceptions;

    Part(const QString& folder, PartOfSpeech p)
        : pos(p),
          dataName(QStringLiteral("data.") + QLatin1String(fileSuffix(p))),
          index(folder + QStringLiteral("/index.") + QLatin1String(fileSuffix(p))),
          data(folder + QLatin1Char('/') + dataName) {
        QFile exc(folder + QLatin1Char('/') + QLatin1String(fileSuffix(p)) + QStringLiteral(".exc"));
        if (!exc.open(QIODevice::ReadOnly)) return;  // a part without irregular forms
        for (const QByteArray& line : exc.readAll().split('\n')) {
            QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() < 2) continue;
            const QByteArray form = fields.takeFirst();
            exceptions[form] += fields;
        }
    }
};

WordNet::WordNet(const QString& folder) {
    for (const PartOfSpeech pos : kPartsOfSpeech) parts_.push_back(std::make_unique<Part>(folder, pos));
}

WordNet::~WordNet() = default;

std::optional<QByteArrayView> WordNet::indexLine(const Part& part, const QByteArray& lemma) const {
    // The index is sorted by lemma (its licence lines, which start with blanks, come first): a binary search
    // over byte positions, each probe widened to the line it falls in.
    const QByteArrayView bytes = part.index.bytes;
    qsizetype low = 0;
    qsizetype high = bytes.size();
    while (low < high) {
        qsizetype start = low + (high - low) / 2;
        while (start > low && bytes[start - 1] != '\n') --start;
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != '\n') ++end;
        const QByteArrayView line = bytes.sliced(start, end - start);
        const qsizetype blank = line.indexOf(' ');
        const QByteArrayView key = blank < 0 ? line : line.first(blank);
        const int order = key.compare(lemma, Qt::CaseSensitive);
        if (order == 0 && blank >= 0) return line;
        if (order < 0 || (order == 0 && blank < 0))
            low = end + 1;
        else
            high = start;
    }
    return std::nullopt;
}

bool WordNet::isLemma(const QString& lemma, PartOfSpeech pos) const {
    return indexLine(*parts_[static_cast<size_t>(pos)], lemmaForm(lemma)).has_value();
}

QStringList WordNet::baseForms(const QString& word, PartOfSpeech pos) const {
    const Part& part = *parts_[static_cast<size_t>(pos)];
    const QByteArray form = lemmaForm(word);
    QList<QByteArray> found;
    if (indexLine(part, form)) found << form;
    if (const auto it = part.exceptions.constFind(form); it != part.exceptions.cend()) {
        for (const QByteArray& base : *it)
            if (!found.contains(base) && indexLine(part, base)) found << base;
    } else if (pos != PartOfSpeech::Noun || (!form.endsWith("ss") && form.size() > 2)) {
        // As in WordNet's own tools, a noun in "ss" (glass) or of two letters has no ending to take away.
        for (const DetachmentRule& rule : kRules) {
            if (rule.pos != pos || !form.endsWith(rule.suffix)) continue;
            const QByteArray base = form.chopped(static_cast<qsizetype>(qstrlen(rule.suffix))) + rule.ending;
            if (base == form || !indexLine(part, base)) continue;
            if (!found.contains(base)) found << base;
            break;
        }
    }
    QStringList forms;
    for (const QByteArray& base : found) forms << shownForm(base);
    return forms;
}

Sense WordNet::sense(const Part& part, qint64 offset) const {
    const QByteArrayView bytes = part.data.bytes;
    auto damaged = [&](const QString& what) {
        return Sense{{}, QStringLiteral("(The WordNet file %1 is damaged: %2.)").arg(part.dataName, what)};
    };
    if (offset < 0 || offset >= bytes.size())
        return damaged(QStringLiteral("the offset %1 lies outside it").arg(offset));
    const qsizetype end = bytes.indexOf('\n', offset);
    if (end < 0) return damaged(QStringLiteral("the line at %1 is cut short").arg(offset));
    const QByteArrayView line = bytes.sliced(offset, end - offset);
    qsizetype at = 0;
    bool ok = false;
    if (fieldAt(line, at).toLongLong(&ok) != offset || !ok)
        return damaged(QStringLiteral("no entry starts at %1").arg(offset));
    fieldAt(line, at);  // the lexicographer file
    fieldAt(line, at);  // the synset type
    const int words = fieldAt(line, at).toInt(&ok, 16);
    const qsizetype bar = line.indexOf("| ");
    if (!ok || bar < 0) return damaged(QStringLiteral("the entry at %1 has no gloss").arg(offset));
    Sense result;
    for (int w = 0; w < words && at < bar; ++w) {
        QByteArrayView synonym = fieldAt(line, at);
        fieldAt(line, at);  // its lexical id
        // An adjective's position marker, as in "galore(ip)", is not part of the word.
        if (const qsizetype paren = synonym.indexOf('('); paren > 0) synonym = synonym.first(paren);
        result.synonyms << shownForm(synonym);
    }
    result.gloss = QString::fromUtf8(line.sliced(bar + 2)).trimmed();
    return result;
}

std::vector<Meaning> WordNet::define(const QString& word, std::optional<PartOfSpeech> only) const {
    std::vector<Meaning> meanings;
    for (const PartOfSpeech pos : kPartsOfSpeech) {
        if (only && *only != pos) continue;
        const Part& part = *parts_[static_cast<size_t>(pos)];
        for (const QString& base : baseForms(word, pos)) {
            const auto line = indexLine(part, lemmaForm(base));
            if (!line) continue;
            // lemma pos synset_cnt p_cnt [ptr_symbol...] sense_cnt tagsense_cnt synset_offset...
            qsizetype at = 0;
            fieldAt(*line, at);
            fieldAt(*line, at);
            const int synsets = fieldAt(*line, at).toInt();
            const int pointers = fieldAt(*line, at).toInt();
            for (int p = 0; p < pointers; ++p) fieldAt(*line, at);
            fieldAt(*line, at);
            fieldAt(*line, at);
            Meaning meaning{pos, base, {}};
            for (int s = 0; s < synsets; ++s) {
                bool ok = false;
                const qint64 offset = fieldAt(*line, at).toLongLong(&ok);
                meaning.senses.push_back(ok ? sense(part, offset) : Sense{{}, QStringLiteral("(The WordNet file index.%1 is damaged: the entry of %2 is cut short.)").arg(QLatin1String(fileSuffix(pos)), base)});
            }
            meanings.push_back(std::move(meaning));
        }
    }
    return meanings;
}

std::shared_ptr<const WordNet> SharedWordNet(QString* problem) {
    static std::mutex mutex;
    static std::shared_ptr<const WordNet> loaded;
    static QString failure;
    static QString folder;
    const std::lock_guard lock(mutex);
    if (const QString wanted = WordNetFolder(); wanted != folder) {
        // WNSEARCHDIR now names another folder: its files are the ones asked for.
        loaded.reset();
        failure.clear();
        folder = wanted;
    }
    if (!loaded && failure.isEmpty()) {
        try {
            loaded = std::make_shared<const WordNet>(folder);
        } catch (const Error& e) {
            failure = e.message();
        }
    }
    if (problem) *problem = failure;
    return loaded;
}

}  // namespace lexivo
