#pragma once

// Meanings from WordNet 3.0, read straight from its files: index.<pos> lists each lemma with the byte offsets
// of its senses in data.<pos>, whose line at an offset holds the synonyms and the gloss; <pos>.exc lists the
// irregular forms (ran: run). Files are mapped, not read: an index is searched in place like WordNet's own tools
// search it, so the first look-up of a process costs a few page reads and the rest of the data is never loaded.
// A damaged file (an offset outside it, a line cut short) gives a meaning that says so, never a read outside.

#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QFile;

namespace lexivo {

enum class PartOfSpeech { Noun, Verb, Adjective, Adverb };
inline constexpr std::array<PartOfSpeech, 4> kPartsOfSpeech = {PartOfSpeech::Noun, PartOfSpeech::Verb,
                                                               PartOfSpeech::Adjective, PartOfSpeech::Adverb};
// "noun", "verb", "adjective", "adverb"; and the part of speech of n, v, a (or s) or r.
QString PartOfSpeechName(PartOfSpeech pos);
std::optional<PartOfSpeech> PartOfSpeechOfLetter(const QString& letter);

inline const QString kWordNetPackage = QStringLiteral("wordnet-base");
// The folder of the WordNet files: the one WNSEARCHDIR names, as for WordNet's own tools, else
// /usr/share/wordnet.
QString WordNetFolder();

// One rule of WordNet's morphology: a word of that part of speech ending in suffix may be the lemma that ends in
// ending instead.
struct DetachmentRule {
    PartOfSpeech pos;
    const char* suffix;
    const char* ending;
};
std::span<const DetachmentRule> DetachmentRules();

// One sense: its synonyms and its gloss (or, in a damaged file, what is wrong).
struct Sense {
    QStringList synonyms;
    QString gloss;
};

// The senses of a word as one part of speech, found under the lemma baseForm.
struct Meaning {
    PartOfSpeech pos;
    QString baseForm;
    std::vector<Sense> senses;
};

// "ran → run, verb", or "run, verb" when the word is its own base form.
QString MeaningHeading(const QString& word, const Meaning& meaning);

class WordNet {
public:
    // Maps the files of folder. Throws Error naming the package when they are missing or cannot be read.
    explicit WordNet(const QString& folder);
    ~WordNet();
    WordNet(const WordNet&) = delete;
    WordNet& operator=(const WordNet&) = delete;

    // Whether lemma (in WordNet's form: lower case, "_" between words) is listed as pos.
    bool isLemma(const QString& lemma, PartOfSpeech pos) const;
    // The lemmas word stands for as pos: itself where it is one; then its listed irregular forms; without any,
    // the lemma the first detachment rule gives that is listed.
    QStringList baseForms(const QString& word, PartOfSpeech pos) const;
    // Every meaning of word, by part of speech (only pos when given) and base form.
    std::vector<Meaning> define(const QString& word, std::optional<PartOfSpeech> pos = std::nullopt) const;

private:
    struct File;
    struct Part;
    std::optional<QByteArrayView> indexLine(const Part& part, const QByteArray& lemma) const;
    Sense sense(const Part& part, qint64 offset) const;

    std::vector<std::unique_ptr<Part>> parts_;
};

// The WordNet of the folder WordNetFolder(), mapped at its first use and kept for the process while that folder
// stays the same; null when it cannot be loaded, with the message naming the package in problem.
std::shared_ptr<const WordNet> SharedWordNet(QString* problem = nullptr);

}  // namespace lexivo
