// The rack and phrase searches on a big word database: reading the words into memory, the rack aeinrst?? and the
// phrases of "dormitory" in-process (median of a few repetitions, the words already in memory), and in the main
// window the time from the click to the first 100 phrases of "the morse code", and the whole of that run.
//
// Usage: bench_word_games queries DATABASE
//        bench_word_games window DATABASE
// The window part runs offscreen unless a display platform is given.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "bench_common.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "search/word_games.h"
#include "shell/frm_main.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/engine.h"

namespace {

struct Case {
    const char* name;
    lexivo::SearchMode mode;
    QString input;
    int minLetters;
    int repetitions;
};

int runQueries(const QString& path) {
    // The searches run as the window runs them, on its search session with the words in memory.
    lexivo::SearchSession session;
    if (!bench::OpenDatabase(session.database(), path)) return 1;
    lexivo::Connection& db = session.connection();

    std::vector<double> reads;
    std::vector<double> readsCpu;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = bench::cpuMilliseconds();
        const lexivo::WordSnapshot words(db, {});
        reads.push_back(bench::millisecondsOf(timer));
        readsCpu.push_back(bench::cpuMilliseconds() - cpuStart);
        if (i == 0) std::printf("snapshot_words %lld\n", static_cast<long long>(words.size()));
    }
    std::printf("snapshot_read_ms %.1f  (processor %.1f ms; median of %zu)\n", bench::median(reads),
                bench::median(readsCpu), reads.size());

    const Case cases[] = {
        {"rack_aeinrst??", lexivo::SearchMode::Rack, "aeinrst??", 0, 21},
        {"rack_aeinrst", lexivo::SearchMode::Rack, "aeinrst", 0, 21},
        {"phrase_dormitory_3x3", lexivo::SearchMode::Phrase, "dormitory", 3, 21},
    };
    bench::QuietDialogs dialogs;
    session.startReading();
    if (!session.awaitIndex()) {
        std::fprintf(stderr, "the words were not read: %s\n", qPrintable(session.readingFailure()));
        return 1;
    }
    for (const Case& c : cases) {
        std::vector<double> times;
        std::vector<double> cpu;
        qint64 found = 0;
        for (int i = 0; i < c.repetitions + 1; ++i) {
            bench::QuietRun run;
            qint64 listed = 0;
            lexivo::CallbackSink sink([&listed](const QString&) { ++listed; });
            lexivo::SearchRequest request;
            request.mode = c.mode;
            request.input = c.input;
            if (c.minLetters > 0) request.minimumLength = c.minLetters;
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = bench::cpuMilliseconds();
            run.beginRun(lexivo::kStartingSearch);
            session.run(request, run, dialogs, sink);
            run.endRun();
            // The first run warms the caches; the figure is the search on the words in memory.
            if (i > 0) {
                times.push_back(bench::millisecondsOf(timer));
                cpu.push_back(bench::cpuMilliseconds() - cpuStart);
            }
            found = listed;
        }
        // The best run beside the median: on a machine shared with other work the wall clock of most runs is the
        // other work's.
        std::printf("%-22s %8.3f ms  (best %.3f ms; processor %.3f ms; %lld results; median of %d)\n", c.name,
                    bench::median(times), *std::min_element(times.begin(), times.end()), bench::median(cpu),
                    static_cast<long long>(found), c.repetitions);
    }
    std::printf("peak_memory_mib %ld\n", bench::peakMemoryMiB());
    return 0;
}

// The window reads the words ahead on a thread of its own once a database is loaded. The first search is clicked
// at once after start-up, or after a pause in which a user would type the phrase; the next search finds the words
// in memory.
int runWindow(const QString& path) {
    QTemporaryDir settings;
    QFile ini(QDir(settings.path()).filePath(QStringLiteral("lexivo.ini")));
    if (ini.open(QIODevice::WriteOnly)) ini.write(QFileInfo(path).absoluteFilePath().toUtf8() + "\r\n");
    ini.close();
    bench::QuietDialogs dialogs;
    double first100 = -1;
    for (const int pause : {0, 1500}) {
        lexivo::Frm_Main main(dialogs, settings.path());
        main.show();
        QApplication::processEvents();
        lexivo::SearchPanel& panel = *main.Fme_Search;
        panel.Opt_Search[lexivo::SearchPanel::Phrase]->click();
        panel.Text1->setEditText(QStringLiteral("the morse code"));
        QElapsedTimer click;
        QObject::connect(&main.results(), &QAbstractItemModel::rowsInserted, &main, [&] {
            if (first100 < 0 && main.results().count() >= 100) first100 = bench::millisecondsOf(click);
        });
        QElapsedTimer typing;
        typing.start();
        while (typing.elapsed() < pause) QApplication::processEvents(QEventLoop::AllEvents, 10);
        for (int i = 0; i < (pause ? 2 : 1); ++i) {
            first100 = -1;
            click.start();
            panel.Cmd_Search->click();
            const double whole = bench::millisecondsOf(click);
            std::printf("%s: first_100_ms %.1f, whole run %.1f ms (\"%s\")\n",
                        i       ? "next search (words in memory)"
                        : pause ? "first search 1.5 s after start-up"
                                : "first search at once after start-up",
                        first100, whole, qPrintable(main.Status->text()));
        }
    }
    std::printf("window_first_100_ms %.1f\npeak_memory_mib %ld\n", first100, bench::peakMemoryMiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_word_games queries|window DATABASE\n");
        return 2;
    }
    const QString part = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (part == QLatin1String("queries")) return runQueries(path);
    if (part == QLatin1String("window")) return runWindow(path);
    std::fprintf(stderr, "unknown part %s\n", argv[1]);
    return 2;
}
