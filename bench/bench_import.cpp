// The import of a word list into a new word database, and opening that database with its word count.
// Usage: bench_import LIST DATABASE

#include <QCoreApplication>

#include "bench_common.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_import LIST DATABASE\n");
        return 2;
    }
    const QString list = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    double importCpuMs = 0;
    const double importMs = bench::CreateAndImport(path, list, &importCpuMs);
    std::printf("import_ms %.1f\nimport_cpu_ms %.1f\n", importMs, importCpuMs);

    std::vector<double> opens;
    qint64 words = 0;
    for (int i = 0; i < 5; ++i) {
        bench::QuietDialogs dialogs;
        bench::NoView view;
        QElapsedTimer timer;
        timer.start();
        lexivo::DatabaseState state;
        state.DatabasePath = path;
        lexivo::LoadDatabase(state, view, dialogs);
        opens.push_back(bench::millisecondsOf(timer));
        words = view.status.section(' ', 0, 0).toLongLong();
    }
    std::printf("open_count_ms %.1f\nwords %lld\n", bench::median(opens), static_cast<long long>(words));
    return 0;
}
