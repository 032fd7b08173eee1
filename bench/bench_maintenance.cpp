// The maintenance commands on a big word database: the complete rebuild of a sound database and of one whose
// keys are all wrong, the quick re-build of a database whose keys are all missing, and the compaction, each
// from the command to its end as the window runs it (the run's stop test on every row included).
//
// Usage: bench_maintenance DATABASE [LIST] [WORK] [SECTION]
// DATABASE is made from LIST by the import when it does not exist; the commands run on a copy of it in WORK
// (a scratch folder, the system's temporary folder when not given). SECTION (sound, all, quick or compact)
// runs that part alone, for a profiler.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "bench_common.h"
#include "store/compaction.h"
#include "store/maintenance.h"

namespace {

// Runs work and prints "NAME_ms" (wall clock) and "NAME_cpu_ms" (processor time, which a busy machine does
// not stretch).
template <class Work>
void timed(const char* name, Work work) {
    const double cpu = bench::cpuMilliseconds();
    QElapsedTimer timer;
    timer.start();
    work();
    const double wall = bench::millisecondsOf(timer);
    std::printf("%s_ms %.1f\n%s_cpu_ms %.1f\n", name, wall, name, bench::cpuMilliseconds() - cpu);
}

bool keysSound(lexivo::Connection& db) {
    return lexivo::RowsNeedingRebuild(db) == 0 &&
           db.scalar(QStringLiteral("SELECT COUNT(*) FROM [Dictionary] WHERE [Sorted]='' AND [Word]<>''")) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_maintenance DATABASE [LIST] [WORK] [sound|all|quick|compact]\n");
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString list =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/usr/share/dict/american-english-insane");
    QTemporaryDir scratch(argc > 3 ? QString::fromLocal8Bit(argv[3]) + QStringLiteral("/maintenance-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/lexivo-maintenance-XXXXXX"));
    if (!scratch.isValid()) {
        std::fprintf(stderr, "no scratch folder\n");
        return 1;
    }
    if (!QFileInfo::exists(source)) bench::CreateAndImport(source, list);
    const QString path = scratch.filePath(QStringLiteral("words.mdb"));
    if (!QFile::copy(source, path)) {
        std::fprintf(stderr, "cannot copy %s\n", qPrintable(source));
        return 1;
    }

    lexivo::DatabaseState state;
    if (!bench::OpenDatabase(state, path)) return 1;
    lexivo::Connection& db = state.CurrentDatabase;
    const qint64 words = lexivo::WordCount(db);
    std::printf("words %lld\n", static_cast<long long>(words));

    const QString only = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    auto wanted = [&](const char* section) { return only.isEmpty() || only == QLatin1String(section); };
    bench::QuietRun run;
    bench::QuietDialogs dialogs;
    lexivo::RebuildResult result;

    if (wanted("sound")) {
        timed("complete_rebuild", [&] { result = lexivo::CompleteRebuild(db, run, dialogs); });
        std::printf("complete_rebuild_rows_written %lld\n", static_cast<long long>(result.rowsWritten));
    }
    if (wanted("all")) {
        db.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]='', [Letters]=''"));
        timed("complete_rebuild_all_rows", [&] { result = lexivo::CompleteRebuild(db, run, dialogs); });
        std::printf("complete_rebuild_all_rows_written %lld\ncomplete_rebuild_all_rows_sound %s\n",
                    static_cast<long long>(result.rowsWritten), keysSound(db) ? "yes" : "no");
    }
    if (wanted("quick")) {
        db.execute(QStringLiteral("UPDATE [Dictionary] SET [Sorted]=NULL, [Letters]=NULL"));
        timed("quick_rebuild_all_null", [&] { result = lexivo::QuickRebuild(db, run, dialogs); });
        std::printf("quick_rebuild_all_null_keys_written %lld\nquick_rebuild_all_null_sound %s\n",
                    static_cast<long long>(result.rowsWritten), keysSound(db) ? "yes" : "no");
    }
    if (wanted("compact")) {
        db.execute(QStringLiteral("DELETE FROM [Dictionary] WHERE [Word] LIKE '*z*'"));
        const qint64 remaining = lexivo::WordCount(db);
        std::printf("compact_before_mib %.1f\n", QFileInfo(path).size() / 1048576.0);
        bench::NoView view;
        timed("compact", [&] { lexivo::CompactDatabase(state, view, dialogs, scratch.path()); });
        std::printf("compact_after_mib %.1f\ncompact_words_kept %s\n", QFileInfo(path).size() / 1048576.0,
                    view.status == QString::number(remaining) + QStringLiteral(" words.") ? "yes" : "no");
    }
    std::printf("peak_memory_mib %ld\n", bench::peakMemoryMiB());
    return 0;
}
