// Wordle and the pattern language on a big word database, as the window runs them: on the search session's word
// index once it is read (median of 7 runs after one to warm up; the best run beside it), and the processor time
// of a run (median), which shows what a run itself costs when other programs compete for the machine.
//
// Usage: bench_wordle_pattern DATABASE

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

#include "bench_common.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"

namespace {

struct Case {
    const char* name;
    lexivo::SearchMode mode;
    const char* input;
    bool rank;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_wordle_pattern DATABASE\n");
        return 2;
    }
    lexivo::SearchSession session;
    if (!bench::OpenDatabase(session.database(), QString::fromLocal8Bit(argv[1]))) return 1;
    session.startReading();
    if (!session.awaitIndex()) return 1;
    const Case cases[] = {
        {"wordle_crane_ms", lexivo::SearchMode::Wordle, "crane:.....", false},
        {"wordle_crane_rank_info_ms", lexivo::SearchMode::Wordle, "crane:.....", true},
        {"pattern_1221_ms", lexivo::SearchMode::Pattern, "??1221", false},
        {"pattern_c_ra_e_ms", lexivo::SearchMode::Pattern, "c<ra?e>", false},
        {"pattern_sets_ms", lexivo::SearchMode::Pattern, "[l-p]?[m-r]?[w-z]", false},
        {"regex_backreference_ms", lexivo::SearchMode::Pattern, "/(..).*\\1", false},
    };
    bench::QuietDialogs dialogs;
    for (const Case& c : cases) {
        std::vector<double> times, cpu;
        qint64 found = 0;
        for (int i = 0; i < 8; ++i) {
            bench::QuietRun run;
            qint64 listed = 0;
            lexivo::CallbackSink sink([&listed](const QString&) { ++listed; });
            lexivo::SearchRequest request;
            request.mode = c.mode;
            request.input = QString::fromUtf8(c.input);
            request.rankByInformation = c.rank;
            QElapsedTimer timer;
            timer.start();
            const double cpu0 = bench::cpuMilliseconds();
            run.beginRun(lexivo::kStartingSearch);
            session.run(request, run, dialogs, sink);
            run.endRun();
            if (i > 0) {
                times.push_back(bench::millisecondsOf(timer));
                cpu.push_back(bench::cpuMilliseconds() - cpu0);
            }
            found = listed;
        }
        std::printf("%s %.2f  (best %.2f ms; %lld results; %s)\n", c.name, bench::median(times),
                    *std::min_element(times.begin(), times.end()), static_cast<long long>(found), c.input);
        // The name without its "_ms", then "_cpu_ms".
        std::printf("%.*s_cpu_ms %.2f\n", static_cast<int>(std::strlen(c.name)) - 3, c.name, bench::median(cpu));
    }
    return 0;
}
