#include "wordlists/import.h"

#include <QStringList>
#include <optional>
#include <utility>

#include "store/dialogs.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/run_control.h"
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

// The key indexes of Dictionary, taken away while an emptied table is filled and put back afterwards.
class DroppedIndexes {
public:
    void dropFor(Connection& db) {
        for (const QString& name : db.indexNames(QStringLiteral("Dictionary"))) {
            if (name.compare(QLatin1String("Sorted"), Qt::CaseInsensitive) == 0 ||
                name.compare(QLatin1String("Letters"), Qt::CaseInsensitive) == 0) {
                db.execute(QStringLiteral("DROP INDEX \"%1\"").arg(name));
                dropped_ << name;
            }
        }
    }
    void restore(Connection& db) {
        for (const QString& name : std::exchange(dropped_, {}))
            db.execute(QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1\" ON [Dictionary] (\"%1\")").arg(name));
    }

private:
    QStringList dropped_;
};

}  // namespace

QString ImportCompleteMessage(const ImportCounts& counts) {
    QString text = QStringLiteral("Import Complete. %1 words imported,%2 duplicates skipped, %3, blanks skipped.")
                       .arg(counts.imported)
                       .arg(counts.duplicates)
                       .arg(counts.blanks);
    if (counts.tooLong > 0) text += QStringLiteral(", %1 too long skipped.").arg(counts.tooLong);
    return text;
}

ImportResult ImportWords(Connection& db, const QString& filename, bool append,
                         const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs) {
    ImportResult result;
    ImportCounts& counts = result.counts;
    run.beginRun(QStringLiteral("Importing data..."));
    qint64 progress = 0;
    DroppedIndexes indexes;
    std::optional<BatchedTransaction> batch;
    try {
        WordListReader reader(filename);
        WordTable table(db);
        // The batches keep every row stored before a stop, a failure or a killed process; emptying the table
        // belongs to the first of them.
        batch.emplace(db);
        if (!append) {
            db.execute(QStringLiteral("DELETE * FROM Dictionary"));
            // Filling an empty table, the key indexes are built once at the end, by sorting, instead of being
            // updated at random for every word; loading the database rebuilds them should the run never end.
            indexes.dropFor(db);
        }
        run.setProgressMaximum(reader.size() + 128);
        WordFilter current = filter();
        while (!reader.atEnd()) {
            QString word = trimSpaces(reader.next());
            progress = reader.position() / 128 * 128;
            bool include = current.apply(word);
            // Looked up even when the filter left it out, so such a word that is stored counts as a duplicate.
            if (table.seek(word)) {
                include = false;
                ++counts.duplicates;
            }
            if (word.isEmpty()) {
                include = false;
                ++counts.blanks;
            }
            if (include) {
                if (CharacterCount(word) > kMaxFieldLength) {
                    ++counts.tooLong;
                } else {
                    const WordKeys keys = KeysOf(word);
                    table.addNew(word, keys.sorted, keys.letters);
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
        indexes.restore(db);
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
