#include "wordlists/import.h"

#include <QStringList>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "store/collation.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/schema.h"
#include "store/word_editing.h"
#include "store/write_access.h"
#include "wordlists/word_list_reader.h"

namespace lexivo {

namespace {

// Only the space character is trimmed: first the trailing spaces, then the leading ones.
QString trimSpaces(const QString& item) {
    qsizetype end = item.size();
    while (end > 0 && item.at(end - 1) == QLatin1Char(' ')) --end;
    qsizetype begin = 0;
    while (begin < end && item.at(begin) == QLatin1Char(' ')) ++begin;
    return (begin == 0 && end == item.size()) ? item : item.mid(begin, end - begin);
}

// The words a run has stored in a table it filled from empty, compared exactly as the Word index compares
// them: equal when equal after case folding (every character, NUL included, counts). So duplicates are found without
// the index. The words are kept in one block and found through an open-addressing table of their hashes: one memory
// access per look-up for most words, where a node per word would cost several.
class ImportedWords {
public:
    ImportedWords() : slots_(1 << 16) {}

    // Whether a word equal to word is stored. The word looked up last can then be recorded with insertLast().
    bool contains(const QString& word) {
        makeKey(word);
        slot_ = find();
        return slots_[slot_].hash != 0;
    }
    void insertLast() {
        if (slots_[slot_].hash != 0) return;
        slots_[slot_] = {hash_, static_cast<quint64>(words_.size())};
        words_.append(reinterpret_cast<const char*>(&length_), sizeof length_);
        const auto keySize = static_cast<quint32>(key_.size());
        words_.append(reinterpret_cast<const char*>(&keySize), sizeof keySize);
        words_.append(key_);
        if (++used_ * 2 > slots_.size()) grow();
    }

private:
    struct Slot {
        quint64 hash = 0;  // 0: empty
        quint64 offset = 0;
    };

    // The folded word: an ASCII character as its byte, any other as the byte 0xFF and its four bytes.
    void makeKey(const QString& word) {
        const QByteArray utf8 = word.toUtf8();
        const std::string_view text(utf8.constData(), static_cast<size_t>(utf8.size()));
        key_.clear();
        for (size_t i = 0; i < text.size();) {
            const char32_t c = FoldCase(DecodeUtf8(text, i));
            if (c < 0x80) {
                key_ += static_cast<char>(c);
            } else {
                key_ += '\xFF';
                key_.append(reinterpret_cast<const char*>(&c), sizeof c);
            }
        }
        length_ = static_cast<quint32>(key_.size());
        hash_ = hashOf(length_, key_);
    }

    static quint64 hashOf(quint32 length, const std::string& key) {
        quint64 h = 14695981039346656037ULL ^ length;  // FNV-1a
        for (const char c : key) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        return h == 0 ? 1 : h;
    }

    bool sameWord(const Slot& slot) const {
        quint32 length = 0;
        quint32 keySize = 0;
        std::memcpy(&length, words_.data() + slot.offset, sizeof length);
        std::memcpy(&keySize, words_.data() + slot.offset + sizeof length, sizeof keySize);
        return length == length_ && keySize == key_.size() &&
               std::memcmp(words_.data() + slot.offset + sizeof length + sizeof keySize, key_.data(), keySize) == 0;
    }

    // The slot of the current key: its own when stored, else the empty slot where it belongs.
    size_t find() const {
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash_ & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.hash == 0 || (slot.hash == hash_ && sameWord(slot))) return i;
        }
    }

    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.hash == 0) continue;
            size_t i = slot.hash & mask;
            while (slots_[i].hash != 0) i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::string words_;
    size_t used_ = 0;
    // The word looked up last.
    std::string key_;
    quint32 length_ = 0;
    quint64 hash_ = 0;
    size_t slot_ = 0;
};

}  // namespace

bool ClearWords(Connection& db, Dialogs& dialogs) {
    const QString failure = QStringLiteral("The words could not be removed: ");
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) {
        dialogs.failure(failure + problem);
        return false;
    }
    try {
        RemoveAllWords(db);
    } catch (const Error& e) {
        dialogs.failure(failure + FailureReason(e));
        return false;
    }
    dialogs.notice(QStringLiteral("Database cleared."));
    return true;
}

QString ImportCompleteMessage(const ImportCounts& counts) {
    QString text = QStringLiteral("Import Complete. %1 words imported,%2 duplicates skipped, %3, blanks skipped.")
                       .arg(counts.imported)
                       .arg(counts.duplicates)
                       .arg(counts.blanks);
    if (counts.tooLong > 0) text += QStringLiteral(" %1 too long skipped.").arg(counts.tooLong);
    return text;
}

ImportResult ImportWords(Connection& db, const QString& filename, bool append,
                         const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs) {
    ImportResult result;
    ImportCounts& counts = result.counts;
    // A database that cannot be written is told in plain words before anything starts, not as the engine's
    // complaint about the first row.
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) {
        result.error = problem;
        dialogs.failure(QStringLiteral("Nothing was imported: %1").arg(problem));
        return result;
    }
    run.beginRun(QStringLiteral("Importing data..."));
    qint64 progress = 0;
    std::optional<SuspendedIndexes> indexes;
    std::optional<BatchedTransaction> batch;
    try {
        WordListReader reader(filename);
        WordTable table(db);
        // The batches keep every row stored before a stop, a failure or a killed process; emptying the table
        // belongs to the first of them.
        batch.emplace(db);
        if (!append) {
            RemoveAllWords(db);
            // Filling an empty table, the indexes are built once at the end, by sorting, instead of being
            // updated at random for every word; loading the database rebuilds them should the run never end.
            indexes.emplace(db,
                            QStringList{QStringLiteral("Word"), QStringLiteral("Sorted"), QStringLiteral("Letters")});
        }
        // Without the Word index, the run itself knows which words the table holds: it started empty.
        std::optional<ImportedWords> stored;
        if (indexes && indexes->suspended(QStringLiteral("Word"))) stored.emplace();
        run.setProgressMaximum(reader.size() + 128);
        WordFilter current = filter();
        while (!reader.atEnd()) {
            QString word = trimSpaces(reader.next());
            progress = reader.position() / 128 * 128;
            bool include = current.apply(word);
            // Looked up even when the filter left it out, so such a word that is stored counts as a duplicate.
            // A word too long for the table cannot be stored in it (nor passed to the engine, past its limit).
            const bool storable = CharacterCount(word) <= kMaxFieldLength;
            if (storable && (stored ? stored->contains(word) : table.seek(word))) {
                include = false;
                ++counts.duplicates;
            }
            if (word.isEmpty()) {
                include = false;
                ++counts.blanks;
            }
            if (include) {
                if (!storable) {
                    ++counts.tooLong;
                } else {
                    const WordKeys keys = KeysOf(word);
                    table.addNew(word, keys.sorted, keys.letters);
                    if (stored) stored->insertLast();
                    batch->rowWritten();
                    ++counts.imported;
                }
            }
            // The filter boxes can only have changed while the window handled input.
            if (run.step(progress, word)) current = filter();
            if (run.stopFlag()) {
                result.stopped = true;
                break;
            }
        }
        batch->finish();
    } catch (const Error& e) {
        result.error = e.message();
        // A batch that could not be committed is gone: only the words of committed batches were imported.
        if (batch) {
            try {
                batch->finish();
            } catch (const Error&) {
            }
            counts.imported = batch->committedRows();
        }
    }
    batch.reset();
    try {
        if (indexes) indexes->restore();
    } catch (const Error& e) {
        if (result.ok()) result.error = e.message();
    }
    run.setProgressValue(0);
    run.setStatus(QString());
    run.endRun();
    if (result.ok())
        dialogs.notice(ImportCompleteMessage(counts));
    else
        dialogs.failure(
            QStringLiteral("The import stopped: %1\n\n%2").arg(result.error, ImportCompleteMessage(counts)));
    return result;
}

}  // namespace lexivo
