#include "wordlists/import.h"

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
    try {
        WordListReader reader(filename);
        WordTable table(db);
        // The batches keep every row stored before a stop, a failure or a killed process; emptying the table
        // belongs to the first of them.
        BatchedTransaction batch(db);
        if (!append) db.execute(QStringLiteral("DELETE * FROM Dictionary"));
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
                    batch.rowWritten();
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
        batch.finish();
    } catch (const Error& e) {
        result.error = e.message();
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
