// The searches on a big word database: each mode's query run in-process (median of a few repetitions), and the
// main window listing every word for the mask "*" from the click to "Found N word(s).", with the time a confirmed
// stop takes to end the run and the process's peak memory.
//
// Usage: bench_search queries DATABASE [LIST]
//        bench_search window DATABASE [LIST]
//        bench_search stop DATABASE [LIST]
// DATABASE is made from LIST by the import when it does not exist. LEXIVO_BENCH_ONLY=NAME runs one of the
// queries alone (anagram_tea, letters_tea, mask_*@, ...), for a profiler. The window parts run offscreen unless a
// display platform is given; run each part in a process of its own, so that its peak memory is its own.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>

#include "bench_common.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/engine.h"

namespace {

// Processor time of this thread: on a machine shared with other work it varies much less than the wall clock.
double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Case {
    const char* name;
    lexivo::SearchMode mode;
    QString input;
    int repetitions;
};

int runQueries(const QString& path) {
    lexivo::DatabaseState state;
    if (!bench::OpenDatabase(state, path)) return 1;
    const Case cases[] = {
        {"anagram_tea", lexivo::SearchMode::Anagram, "tea", 21},
        {"synogram_tea", lexivo::SearchMode::Synogram, "tea", 21},
        {"letters_tea", lexivo::SearchMode::Letters, "tea", 7},
        {"mask_c??k", lexivo::SearchMode::Mask, "c??k", 7},
        {"mask_*@", lexivo::SearchMode::Mask, "*@", 7},
        {"palindromes", lexivo::SearchMode::Palindrome, "", 3},
    };
    // LEXIVO_BENCH_ONLY names the one case to run (for profiling a single query).
    const QByteArray only = qgetenv("LEXIVO_BENCH_ONLY");
    for (const Case& c : cases) {
        if (!only.isEmpty() && only != c.name) continue;
        std::vector<double> times;
        std::vector<double> cpu;
        qint64 found = 0;
        for (int i = 0; i < c.repetitions; ++i) {
            bench::QuietRun run;
            bench::QuietDialogs dialogs;
            qint64 words = 0;
            lexivo::CallbackSink sink([&words](const QString&) { ++words; });
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMilliseconds();
            // As the window runs it: one run, one transaction.
            run.beginRun(lexivo::kStartingSearch);
            lexivo::SearchRequest request;
            request.mode = c.mode;
            request.input = c.input;
            lexivo::RunSearchRequest(state.CurrentDatabase, request, run, dialogs, sink);
            run.endRun();
            times.push_back(bench::millisecondsOf(timer));
            cpu.push_back(cpuMilliseconds() - cpuStart);
            found = words;
        }
        std::printf("%-14s %9.3f ms  (processor %.3f ms; %lld words; median of %d)\n", c.name, bench::median(times),
                    bench::median(cpu), static_cast<long long>(found), c.repetitions);
    }
    std::printf("peak_memory_mib %ld\n", bench::peakMemoryMiB());
    return 0;
}

// Answers every question Yes and notes when it did: the moment the user confirmed a stop.
class AnswerYes : public bench::QuietDialogs {
public:
    QElapsedTimer answered;
    bool question(const QString&, const QString& = lexivo::kProgramTitle, DefaultButton = DefaultButton::Yes) override {
        answered.start();
        return true;
    }
};

// Notes when the status line is painted with the result of a search: the moment the user sees the run end.
class ResultShown : public QObject {
public:
    explicit ResultShown(QLabel* status) : status_(status) { status_->installEventFilter(this); }
    void reset(const QElapsedTimer* since) {
        since_ = since;
        at_ = -1;
    }
    double at() const { return at_; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == status_ && event->type() == QEvent::Paint && at_ < 0 && since_ && since_->isValid() &&
            status_->text().startsWith(QStringLiteral("Found ")))
            at_ = bench::millisecondsOf(*since_);
        return false;
    }

private:
    QLabel* status_;
    const QElapsedTimer* since_ = nullptr;
    double at_ = -1;
};

struct Window {
    QTemporaryDir settings;
    AnswerYes dialogs;
    std::unique_ptr<lexivo::Frm_Main> main;

    explicit Window(const QString& database) {
        QFile ini(QDir(settings.path()).filePath(QStringLiteral("lexivo.ini")));
        if (ini.open(QIODevice::WriteOnly)) ini.write(QFileInfo(database).absoluteFilePath().toUtf8() + "\r\n");
        ini.close();
        main = std::make_unique<lexivo::Frm_Main>(dialogs, settings.path());
        main->show();
        QApplication::processEvents();
        main->Fme_Search->Opt_Search[lexivo::SearchPanel::Mask]->click();
        main->Fme_Search->Text1->setEditText(QStringLiteral("*"));
    }
    QString status() const { return main->Status->text(); }
};

int runWindow(const QString& path) {
    Window window(path);
    std::vector<double> times;
    QString status;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.main->Fme_Search->Cmd_Search->click();
        times.push_back(bench::millisecondsOf(timer));
        status = window.status();
        // What the user sees next: the list laid out to its last entry (in batches while the window is idle),
        // then that entry scrolled into view.
        lexivo::ResultsModel& model = window.main->results();
        const QModelIndex last = model.index(static_cast<int>(model.count()) - 1);
        QElapsedTimer settle;
        settle.start();
        int passes = 0;
        while (!window.main->List1->visualRect(last).isValid() && settle.elapsed() < 60000) {
            QApplication::processEvents();
            ++passes;
        }
        const double laidOut = bench::millisecondsOf(settle);
        window.main->List1->scrollTo(last);
        QApplication::processEvents();
        std::printf(
            "window_listing_ms %.1f  (\"%s\"; then laid out to the last entry %.1f ms in %d passes, scrolled "
            "there %.1f ms)\n",
            times.back(), qPrintable(status), laidOut, passes, bench::millisecondsOf(settle) - laidOut);
    }
    // The list commands on the whole result: "&Select all", then "&Copy" of every word to the clipboard.
    QElapsedTimer commands;
    commands.start();
    window.main->Mnu_SelectAll->trigger();
    const double selectAll = bench::millisecondsOf(commands);
    commands.start();
    window.main->Mnu_Edit_Copy->trigger();
    std::printf("select_all_ms %.1f\ncopy_ms %.1f  (%lld characters)\n", selectAll, bench::millisecondsOf(commands),
                static_cast<long long>(QGuiApplication::clipboard()->text().size()));
    std::printf("window_listing_median_ms %.1f\npeak_memory_mib %ld\n", bench::median(times), bench::peakMemoryMiB());
    return status.startsWith(QStringLiteral("Found ")) ? 0 : 1;
}

int runStop(const QString& path) {
    Window window(path);
    // The click on "&Stop" arrives while the run handles input, as the user's would, at fractions of the time a
    // whole listing takes: in the reading of the rows and in the listing of them.
    QElapsedTimer whole;
    whole.start();
    window.main->Fme_Search->Cmd_Search->click();
    const double listing = bench::millisecondsOf(whole);
    std::printf("whole_listing_ms %.1f\n", listing);
    QTimer stopClick;
    stopClick.setSingleShot(true);
    QObject::connect(&stopClick, &QTimer::timeout, window.main.get(), [&window] {
        // A click once the run has ended would close the window instead.
        if (window.main->runActive()) window.main->Cmd_Close->click();
    });
    ResultShown shown(window.main->Status);
    double worst = 0;
    double worstReturned = 0;
    for (int percent : {2, 10, 25, 50, 75, 90}) {
        window.dialogs.answered.invalidate();
        shown.reset(&window.dialogs.answered);
        stopClick.start(static_cast<int>(listing * percent / 100));
        window.main->Fme_Search->Cmd_Search->click();
        stopClick.stop();
        if (!window.dialogs.answered.isValid()) {
            std::printf("stop_at_%d%%: the listing had ended before (\"%s\")\n", percent, qPrintable(window.status()));
            continue;
        }
        const double returned = bench::millisecondsOf(window.dialogs.answered);
        worst = std::max(worst, shown.at());
        worstReturned = std::max(worstReturned, returned);
        std::printf("stop_at_%d%%: \"%s\" shown %.2f ms after the confirmation (the command returned after %.2f ms)\n",
                    percent, qPrintable(window.status()), shown.at(), returned);
    }
    // The figure is the moment the result is shown; the rows read but never listed are released after it.
    std::printf("stop_worst_ms %.2f\nstop_worst_returned_ms %.2f\npeak_memory_mib %ld\n", worst, worstReturned,
                bench::peakMemoryMiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_search queries|window|stop DATABASE [LIST]\n");
        return 2;
    }
    const QString part = QString::fromLocal8Bit(argv[1]);
    const QString path = QString::fromLocal8Bit(argv[2]);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!QFileInfo::exists(path)) {
        if (argc < 4) {
            std::fprintf(stderr, "no database at %s and no list to make it from\n", argv[2]);
            return 2;
        }
        std::printf("import_ms %.1f\n", bench::CreateAndImport(path, QString::fromLocal8Bit(argv[3])));
    }
    if (part == QLatin1String("queries")) return runQueries(path);
    if (part == QLatin1String("window")) return runWindow(path);
    if (part == QLatin1String("stop")) return runStop(path);
    std::fprintf(stderr, "unknown part %s\n", argv[1]);
    return 2;
}
