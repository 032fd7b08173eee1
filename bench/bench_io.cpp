// The export of a whole word database to a word list, and the import started from the Import/Export window
// compared with the same import run without a window.
// Usage: bench_io LIST WORK_FOLDER [DATABASE]
// Without DATABASE, one is made in WORK_FOLDER from LIST first.

#include <time.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "bench_common.h"
#include "shell/frm_import.h"
#include "wordlists/export.h"

namespace {

qint64 LineCount(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return file.readAll().count("\r\n");
}

double ImportThroughTheWindow(const QString& database, const QString& list, QString& message) {
    lexivo::DatabaseState state;
    bench::CreateEmptyDatabase(state, database);
    bench::QuietDialogs dialogs;
    lexivo::Frm_Import window(state.CurrentDatabase, dialogs, [] { return QStringList(); });
    window.setStartFolder(QFileInfo(list).absolutePath());
    window.show();
    QApplication::processEvents();
    window.Txt_Filename->setText(QFileInfo(list).fileName());
    QElapsedTimer timer;
    timer.start();
    window.Cmd_OK->click();  // the replacement question is answered Yes
    const double ms = bench::millisecondsOf(timer);
    message = dialogs.last;
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_io LIST WORK_FOLDER [DATABASE]\n");
        return 2;
    }
    const QString list = QString::fromLocal8Bit(argv[1]);
    const QString work = QString::fromLocal8Bit(argv[2]);
    QString database = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (database.isEmpty()) {
        database = work + QStringLiteral("/io-words.mdb");
        bench::CreateAndImport(database, list);
    }

    // Export of every word, as the window's OK action runs it with no filter ticked.
    lexivo::DatabaseState state;
    bench::OpenDatabase(state, database);
    const qint64 words = lexivo::WordCount(state.CurrentDatabase);
    const QString exported = work + QStringLiteral("/io-export.txt");
    std::vector<double> exports, exportsCpu;
    for (int i = 0; i < 5; ++i) {
        bench::QuietRun run;
        bench::QuietDialogs dialogs;
        QElapsedTimer timer;
        timer.start();
        const double cpu = bench::cpuMilliseconds();
        lexivo::ExportWords(
            state.CurrentDatabase, exported, false, [] { return lexivo::WordFilter{}; }, run, dialogs);
        exports.push_back(bench::millisecondsOf(timer));
        exportsCpu.push_back(bench::cpuMilliseconds() - cpu);
    }
    state.CurrentDatabase.close();
    const qint64 lines = LineCount(exported);
    std::printf("words %lld\nexport_lines %lld\nexport_bytes %lld\nexport_ms %.1f\nexport_cpu_ms %.1f\n",
                static_cast<long long>(words), static_cast<long long>(lines),
                static_cast<long long>(QFileInfo(exported).size()), bench::median(exports), bench::median(exportsCpu));
    if (lines != words) std::fprintf(stderr, "export wrote %lld lines for %lld words\n", lines, words);

    // The same import with and without the window, taken in turns so that both see the same disk.
    // The window takes a name in the folder it shows, and gives one without a dot ".txt": the list goes in
    // under a name of its own.
    const QString copy = work + QStringLiteral("/io-list.txt");
    QFile::remove(copy);
    QFile::copy(list, copy);
    std::vector<double> core, windowed, coreCpu, windowedCpu;
    QString windowMessage;
    for (int i = 0; i < 3; ++i) {
        double cpu = bench::cpuMilliseconds();
        core.push_back(bench::CreateAndImport(work + QStringLiteral("/io-core.mdb"), copy));
        coreCpu.push_back(bench::cpuMilliseconds() - cpu);
        cpu = bench::cpuMilliseconds();
        windowed.push_back(ImportThroughTheWindow(work + QStringLiteral("/io-window.mdb"), copy, windowMessage));
        windowedCpu.push_back(bench::cpuMilliseconds() - cpu);
    }
    const double coreMs = bench::median(core);
    const double windowMs = bench::median(windowed);
    std::printf("import_core_ms %.1f\nimport_window_ms %.1f\nimport_window_over_core %.3f\n", coreMs, windowMs,
                windowMs / coreMs);
    // Creating the empty database is inside the processor figures of both.
    std::printf("import_core_cpu_ms %.1f\nimport_window_cpu_ms %.1f\nimport_window_over_core_cpu %.3f\n",
                bench::median(coreCpu), bench::median(windowedCpu),
                bench::median(windowedCpu) / bench::median(coreCpu));
    std::fprintf(stderr, "window: %s\n", qPrintable(windowMessage));
    std::printf("peak_memory_mib %ld\n", bench::peakMemoryMiB());
    return 0;
}
