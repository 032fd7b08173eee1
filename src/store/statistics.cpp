#include "store/statistics.h"

#include "store/current_database.h"

namespace lexivo {

QString StatisticsText(DatabaseState& state) {
    if (state.DatabasePath.isEmpty()) return QStringLiteral("No database loaded.");
    const qint64 count = WordCount(state.CurrentDatabase);
    if (count < 1) return QStringLiteral("Database is empty, import from a word list text file.");
    return QStringLiteral("Database contains %1 words.").arg(count);
}

}  // namespace lexivo
