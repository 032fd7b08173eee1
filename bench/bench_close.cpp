// How long closing takes with a long list on screen: from the click on "&Close" to the end of the process,
// with every word of the database loaded and listed (the mask "*"), or (LEXIVO_BENCH_CLOSE_AT=MS) that long after
// the window opened, while the words are read into memory. Target: under 100 ms.
//
//   bench_close DATABASE [RUNS]
//
// Each run is a process of its own (this program again, with --window), which says when it clicks; this
// process takes the time at which it sees that process end.

#include <time.h>

#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_common.h"
#include "shell/frm_main.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"

namespace {

qint64 monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int window(int argc, char** argv, const QString& database) {
    QApplication app(argc, argv);
    QTemporaryDir programFolder;
    bench::QuietDialogs dialogs;
    // Built and left at the end as the program does it (src/shell/main.cpp): never destroyed.
    static lexivo::Frm_Main* const window =
        new lexivo::Frm_Main(dialogs, programFolder.path(), lexivo::StartUpFiles{database, {}});
    lexivo::Frm_Main& main = *window;
    main.showCentred();
    // LEXIVO_BENCH_CLOSE_AT=MS: closed that long after the window opened, with nothing listed, while the words
    // are read into memory.
    const int closeAt = qEnvironmentVariableIntValue("LEXIVO_BENCH_CLOSE_AT");
    if (closeAt > 0) {
        std::printf("closed %d ms after opening, while the words are read\n", closeAt);
    } else {
        QElapsedTimer listing;
        listing.start();
        main.Fme_Search->Opt_Search[lexivo::SearchPanel::Mask]->setChecked(true);
        main.Fme_Search->Text1->setEditText(QStringLiteral("*"));
        main.Fme_Search->Cmd_Search->click();
        std::printf("listed %lld words in %.0f ms\n", static_cast<long long>(main.results().count()),
                    bench::millisecondsOf(listing));
    }
    QTimer::singleShot(closeAt > 0 ? closeAt : 200, &main, [&main] {
        std::printf("click %lld\n", static_cast<long long>(monotonicNanoseconds()));
        if (qEnvironmentVariableIsSet("LEXIVO_BENCH_CLOSE_STEPS"))
            std::fprintf(stderr, "click %lld\n", static_cast<long long>(monotonicNanoseconds()));
        std::fflush(stdout);
        main.Cmd_Close->click();
    });
    const int status = QApplication::exec();
    if (qEnvironmentVariableIsSet("LEXIVO_BENCH_CLOSE_STEPS"))
        std::fprintf(stderr, "event loop left %lld\n", static_cast<long long>(monotonicNanoseconds()));
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && QByteArray(argv[1]) == "--window") return window(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_close DATABASE [RUNS]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const int runs = argc > 2 ? std::max(1, QByteArray(argv[2]).toInt()) : 5;
    std::vector<double> closing;
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--window"), QString::fromLocal8Bit(argv[1])});
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start();
        qint64 clicked = 0;
        QByteArray output;
        while (child.state() != QProcess::NotRunning && clicked == 0) {
            child.waitForReadyRead(100);
            output += child.readAllStandardOutput();
            if (const qsizetype at = output.indexOf("click "); at >= 0 && output.indexOf('\n', at) > at)
                clicked = output.mid(at + 6, output.indexOf('\n', at) - at - 6).toLongLong();
        }
        child.waitForFinished(-1);
        const qint64 ended = monotonicNanoseconds();
        output += child.readAllStandardOutput();
        if (clicked == 0 || child.exitStatus() != QProcess::NormalExit) {
            std::fprintf(stderr, "run %d failed:\n%s\n", run, output.constData());
            return 1;
        }
        if (run == 0) std::printf("%s", output.left(output.indexOf("click ")).constData());
        closing.push_back((ended - clicked) / 1e6);
    }
    std::sort(closing.begin(), closing.end());
    std::printf("%s %.1f  (median; max %.1f ms; %d runs; target under 100)\n",
                qEnvironmentVariableIsSet("LEXIVO_BENCH_CLOSE_AT") ? "close_reading_ms" : "close_ms",
                closing[closing.size() / 2], closing.back(), runs);
    return 0;
}
