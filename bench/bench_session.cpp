// The searches of the main window once its words are in memory: each listing mode on the path the window's search
// session takes with the index ready, from the request to the last word handed to a sink that only counts, and the
// reading of the index itself, with the memory it holds.
//
// Usage: bench_session DATABASE (LEXIVO_BENCH_ONLY=NAME: that search alone)
// Prints one line "NAME VALUE" per figure (milliseconds: median of the runs after a first one, which makes the
// look-up tables of the index); each time figure is followed by NAME_cpu, the processor time of the same runs.

#include <QElapsedTimer>
#include <cstdio>
#include <ctime>

#include "bench_common.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/search_session.h"
#include "search/word_index.h"

namespace {

constexpr int kRuns = 9;

// Processor time of the whole process (the reading has a thread of its own): on a machine shared with other work
// it varies much less than the wall clock.
double cpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double timeSearch(lexivo::SearchSession& session, lexivo::SearchMode mode, const QString& input, qint64& found,
                  double& cpu) {
    bench::QuietRun run;
    bench::QuietDialogs dialogs;
    qint64 words = 0;
    lexivo::CallbackSink sink([&words](const QString&) { ++words; });
    lexivo::SearchRequest request;
    request.mode = mode;
    request.input = input;
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMilliseconds();
    run.beginRun(lexivo::kStartingSearch);
    session.run(request, run, dialogs, sink);
    run.endRun();
    const double ms = bench::millisecondsOf(timer);
    cpu = cpuMilliseconds() - cpuStart;
    found = words;
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_session DATABASE\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    lexivo::SearchSession session;
    if (!bench::OpenDatabase(session.database(), path)) return 1;

    std::vector<double> reads, readsCpu;
    std::shared_ptr<const lexivo::WordSnapshot> index;
    for (int i = 0; i < kRuns; ++i) {
        index.reset();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMilliseconds();
        session.startReading();
        index = session.awaitIndex();
        reads.push_back(bench::millisecondsOf(timer));
        readsCpu.push_back(cpuMilliseconds() - cpuStart);
        if (!index) {
            std::fprintf(stderr, "the index was not read: %s\n", qPrintable(session.readingFailure()));
            return 1;
        }
    }

    struct Case {
        const char* name;
        lexivo::SearchMode mode;
        const char* input;
    };
    const Case cases[] = {
        {"window_letters_tea_ms", lexivo::SearchMode::Letters, "tea"},
        {"window_mask_star_vowel_ms", lexivo::SearchMode::Mask, "*@"},
        {"window_palindromes_ms", lexivo::SearchMode::Palindrome, ""},
        {"window_anagram_tea_ms", lexivo::SearchMode::Anagram, "tea"},
        {"window_synogram_tea_ms", lexivo::SearchMode::Synogram, "tea"},
    };
    // LEXIVO_BENCH_ONLY names the one search to run (for a profiler).
    const QByteArray only = qgetenv("LEXIVO_BENCH_ONLY");
    for (const Case& c : cases) {
        if (!only.isEmpty() && only != c.name) continue;
        qint64 found = 0;
        double cpu = 0;
        const double first = timeSearch(session, c.mode, QString::fromUtf8(c.input), found, cpu);
        std::vector<double> times, cpus;
        for (int i = 0; i < kRuns; ++i) {
            times.push_back(timeSearch(session, c.mode, QString::fromUtf8(c.input), found, cpu));
            cpus.push_back(cpu);
        }
        std::printf("%s %.4f\n", c.name, bench::median(times));
        std::printf("%s_cpu %.4f\n", c.name, bench::median(cpus));
        std::fprintf(stderr, "%s: %lld words, first run %.2f ms\n", c.name, static_cast<long long>(found), first);
    }
    std::printf("index_read_ms %.1f\n", bench::median(reads));
    std::printf("index_read_ms_cpu %.1f\n", bench::median(readsCpu));
    std::printf("index_mib %.1f\n", static_cast<double>(index->memoryBytes()) / (1024.0 * 1024.0));
    std::fprintf(stderr, "%lld words in the index\n", static_cast<long long>(index->size()));
    return 0;
}
