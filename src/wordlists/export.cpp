#include "wordlists/export.h"

#include <QLocale>
#include <cmath>
#include <limits>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "store/engine.h"
#include "wordlists/word_list_writer.h"

namespace lexivo {

namespace {

const QString kExportingStatus = QStringLiteral("Exporting data...");

// A plain decimal the query parser reads as the same number: never an exponent, never "inf".
QString PlainDecimal(double value) {
    if (std::isnan(value)) return QStringLiteral("0");
    if (std::isinf(value)) value = std::copysign(std::numeric_limits<double>::max(), value);
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

// The start, the loop and the end that both exports share; loop writes the words and answers whether it was
// stopped.
ExportResult RunExport(const QString& filename, bool append, RunControl& run, Dialogs& dialogs,
                       const std::function<bool(WordListWriter&, qint64&)>& loop) {
    ExportResult result;
    run.beginRun(kExportingStatus);
    WordListWriter writer;
    try {
        // A write that fails ends the loop; the reason comes from the writer.
        if (writer.open(filename, append)) result.stopped = loop(writer, result.written);
        if (!writer.finish()) throw Error(QStringLiteral("Cannot write %1: %2").arg(filename, writer.errorString()));
    } catch (const Error& e) {
        writer.abandon();
        result.error = e.message();
    }
    run.setProgressValue(0);
    run.setStatus(QString());
    run.endRun();
    if (result.ok())
        dialogs.notice(QStringLiteral("Export Complete."));
    else
        dialogs.failure(QStringLiteral("The export stopped: %1\n\nThe file was left as it was.").arg(result.error));
    return result;
}

}  // namespace

QString ExportQueryText(const WordFilter& filter) {
    QString clause;
    if (filter.minimumOn) clause += QStringLiteral(" AND LEN([Word])>=") + PlainDecimal(filter.minimum);
    if (filter.maximumOn) clause += QStringLiteral(" AND LEN([Word])<=") + PlainDecimal(filter.maximum);
    // " AND" goes; the space in front of LEN stays.
    if (!clause.isEmpty()) clause = QStringLiteral(" WHERE ") + clause.mid(4);
    return QStringLiteral("SELECT * FROM [Dictionary] ") + clause + QStringLiteral(" ORDER BY [Word]");
}

ExportResult ExportWords(Connection& db, const QString& filename, bool append,
                         const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs) {
    return RunExport(filename, append, run, dialogs, [&](WordListWriter& writer, qint64& written) {
        WordFilter current = filter();
        const QString query = ExportQueryText(current);
        Cursor cursor(db, query);
        if (cursor.eof()) return false;
        // Counting a large list can take a moment; the window stays responsive meanwhile.
        const std::optional<qint64> count = db.count(query, [&] {
            run.step(0, kExportingStatus);
            return !run.stopFlag();
        });
        if (!count || run.stopFlag()) return true;
        run.setProgressMaximum(*count);
        const int wordColumn = cursor.column(QStringLiteral("Word"));
        qint64 visited = 0;
        for (; !cursor.eof(); cursor.moveNext()) {
            ++visited;
            const std::optional<QString>& value = cursor.value(wordColumn);
            QString word = value.value_or(QString());
            if (value && current.applyCharacters(word)) {
                if (!writer.writeLine(word)) return false;
                ++written;
            }
            // The filter boxes can only have changed while the window handled input.
            if (run.step(visited, word)) current = filter();
            if (run.stopFlag()) return true;
        }
        run.flush(visited, QString());
        return false;
    });
}

ExportResult ExportSelection(const QStringList& words, const QString& filename, bool append,
                             const std::function<WordFilter()>& filter, RunControl& run, Dialogs& dialogs) {
    return RunExport(filename, append, run, dialogs, [&](WordListWriter& writer, qint64& written) {
        WordFilter current = filter();
        // The list may change while the window handles input; the words are taken as they were at the start.
        const QStringList list = words;
        for (const QString& entry : list) {
            QString word = entry;
            if (current.apply(word)) {
                if (!writer.writeLine(word)) return false;
                ++written;
            }
            // The progress bar stays where it is during this export; only the word is shown.
            if (run.step(0, word)) current = filter();
            if (run.stopFlag()) return true;
        }
        return false;
    });
}

}  // namespace lexivo
