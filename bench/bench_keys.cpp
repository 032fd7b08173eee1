// The letter-key searches miss no word: for 300 random words of each list, the anagram and the synogram of the
// word written in small letters and in capitals (each character mapped on its own) find the word. Then the load
// of a file written before the keys were made of the folded word (the program's order already, keys of the word
// as written, user_version 1): the keys it rewrites and the time it takes, median of 3.
// Usage: bench_keys WORK_FOLDER LIST...   (the first list is the one whose older file is loaded)
//        bench_keys --older DATABASE OLDER   (only writes the older file of DATABASE, for the conversion's benchmark)

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <random>

#include "bench_common.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "store/engine.h"
#include "store/sql_functions.h"

namespace {

QString mapped(const QString& word, char32_t (*map)(char32_t)) {
    QString out;
    for (const char32_t c : word.toUcs4()) {
        const char32_t m = map(c);
        out += QString::fromUcs4(&m, 1);
    }
    return out;
}

bool finds(lexivo::Connection& db, lexivo::SearchMode mode, const QString& input, const QString& word) {
    bench::QuietRun run;
    bench::QuietDialogs dialogs;
    bool found = false;
    lexivo::CallbackSink sink([&](const QString& listed) { found = found || listed == word; });
    lexivo::SearchRequest request;
    request.mode = mode;
    request.input = input;
    run.beginRun(QString());
    lexivo::RunSearchRequest(db, request, run, dialogs, sink);
    run.endRun();
    return found;
}

// The Sorted key as files before this version stored it: the characters of the word as written.
void oldSorted(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const QString word =
        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    QList<uint> points = word.toUcs4();
    std::sort(points.rbegin(), points.rend());
    QString sorted = QString::fromUcs4(reinterpret_cast<const char32_t*>(points.data()), points.size());
    QString letters;
    for (const uint c : points) {
        const auto p = static_cast<char32_t>(c);
        if (c != '*' && !letters.toUcs4().contains(c)) letters += QString::fromUcs4(&p, 1);
    }
    const QByteArray out = (*static_cast<bool*>(sqlite3_user_data(ctx)) ? letters : sorted).toUtf8();
    sqlite3_result_text(ctx, out.constData(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

// A copy of the word database at from with the keys of files before this version and their user_version.
qint64 writeOlderFile(const QString& from, const QString& to) {
    QFile::remove(to);
    QFile::copy(from, to);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(to).constData(), &db);
    lexivo::RegisterWordFunctions(db);  // the collation of the Word field
    static bool sorted = false, letters = true;
    sqlite3_create_function(db, "OldSorted", 1, SQLITE_UTF8, &sorted, oldSorted, nullptr, nullptr);
    sqlite3_create_function(db, "OldLetters", 1, SQLITE_UTF8, &letters, oldSorted, nullptr, nullptr);
    // Only rows whose keys differ: the words with a capital letter (SQLite's own lower() knows A-Z only, so the
    // condition takes every word with a character outside a-z too; the others are written with the same keys).
    char* error = nullptr;
    sqlite3_exec(db,
                 "BEGIN; UPDATE Dictionary SET Sorted=OldSorted(Word), Letters=OldLetters(Word) WHERE Word <> "
                 "lower(Word) COLLATE BINARY OR Word GLOB '*[^ -~]*'; PRAGMA user_version=1; COMMIT;",
                 nullptr, nullptr, &error);
    if (error) std::fprintf(stderr, "older file: %s\n", error);
    sqlite3_free(error);
    const qint64 changed = sqlite3_total_changes(db);
    sqlite3_close(db);
    return changed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--older") == 0) {
        const qint64 stale = writeOlderFile(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
        std::printf("older_file_rows_rewritten %lld\n", static_cast<long long>(stale));
        return stale > 0 ? 0 : 1;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_keys WORK_FOLDER LIST...\n");
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    bool allFound = true;
    int totalMisses = 0;
    for (int l = 2; l < argc; ++l) {
        const QString list = QString::fromLocal8Bit(argv[l]);
        const QString path = QDir(work).filePath(QStringLiteral("keys%1.mdb").arg(l));
        bench::CreateAndImport(path, list);
        lexivo::DatabaseState state;
        bench::OpenDatabase(state, path);
        lexivo::Connection& db = state.CurrentDatabase;
        QStringList words;
        db.forEachText(QStringLiteral("SELECT [Word] FROM [Dictionary]"), [&](QByteArrayView utf8) {
            words << QString::fromUtf8(utf8);
            return true;
        });
        std::mt19937 random(19);
        int misses = 0;
        QStringList missed;
        for (int i = 0; i < 300 && !words.isEmpty(); ++i) {
            const QString word = words[static_cast<qsizetype>(random() % words.size())];
            for (const QString& input : {mapped(word, QChar::toLower), mapped(word, QChar::toUpper)})
                for (const auto mode : {lexivo::SearchMode::Anagram, lexivo::SearchMode::Synogram})
                    if (!finds(db, mode, input, word)) {
                        ++misses;
                        if (missed.size() < 10) missed << input + QStringLiteral(" -> ") + word;
                    }
        }
        std::printf("%s: %lld words, 300 random words x (small, capitals) x (anagram, synogram): %d missed%s%s\n",
                    qPrintable(list), static_cast<long long>(words.size()), misses, missed.isEmpty() ? "" : ": ",
                    qPrintable(missed.join(QStringLiteral(", "))));
        std::printf("keys_missed_%s %d\n", qPrintable(QFileInfo(list).fileName()), misses);
        allFound = allFound && misses == 0;
        totalMisses += misses;
        state.CurrentDatabase.close();
        if (l != 2) continue;
        // The older file of the first list, loaded as the program loads it.
        std::vector<double> times, cpu;
        qint64 stale = 0;
        QString status;
        for (int run = 0; run < 3; ++run) {
            const QString older = QDir(work).filePath(QStringLiteral("older.mdb"));
            stale = writeOlderFile(path, older);
            lexivo::DatabaseState loaded;
            QElapsedTimer timer;
            timer.start();
            const double cpu0 = bench::cpuMilliseconds();
            bench::OpenDatabase(loaded, older);
            times.push_back(bench::millisecondsOf(timer));
            cpu.push_back(bench::cpuMilliseconds() - cpu0);
            status = QStringLiteral("version %1, keys current: %2")
                         .arg(loaded.CurrentDatabase.orderVersion())
                         .arg(loaded.CurrentDatabase.scalar(QStringLiteral(
                                  "SELECT COUNT(*) FROM Dictionary WHERE Sorted IS NOT SortString(Word) COLLATE "
                                  "BINARY")) == 0
                                  ? "yes"
                                  : "NO");
            loaded.CurrentDatabase.close();
            QFile::remove(older);
        }
        std::printf(
            "load of an older file (%lld rows with keys of the word as written): %.0f ms median of 3, "
            "processor %.0f ms (%s)\n",
            static_cast<long long>(stale), bench::median(times), bench::median(cpu), qPrintable(status));
        std::printf("older_keys_load_ms %.0f\nolder_keys_load_cpu_ms %.0f\n", bench::median(times), bench::median(cpu));
    }
    std::printf("keys_missed_total %d\n", totalMisses);
    std::printf("key searches: %s\n", allFound ? "no word missed" : "WORDS MISSED");
    return allFound ? 0 : 1;
}
