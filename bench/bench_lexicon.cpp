// WordNet as the window uses it: the first look-up (mapping the files), then look-ups of many words as the
// tool tips ask for them, and the memory the mapped WordNet holds. Usage: bench_lexicon [WORDS...]
// (default: a fixed sample). Prints NAME VALUE lines.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "lexicon/wordnet.h"

namespace {

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList words = app.arguments().mid(1);
    if (words.isEmpty())
        words = {"run",   "ran",    "geese", "walking", "happier", "boxes", "quickly", "zeppelins",
                 "table", "tables", "went",  "better",  "ladies",  "women", "churches", "xyzzy"};
    const long before = residentKiB();
    QElapsedTimer clock;
    clock.start();
    QString problem;
    const auto wordnet = lexivo::SharedWordNet(&problem);
    if (!wordnet) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    std::size_t senses = wordnet->define(words.front()).size();
    std::printf("define_first_in_process_ms %.3f\n", clock.nsecsElapsed() / 1e6);
    std::vector<double> times;
    for (int round = 0; round < 20; ++round) {
        for (const QString& word : words) {
            clock.restart();
            for (const auto& meaning : wordnet->define(word)) senses += meaning.senses.size();
            times.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("define_later_median_ms %.4f\n", times[times.size() / 2]);
    std::printf("define_later_max_ms %.4f\n", times.back());
    std::printf("wordnet_resident_mib %.1f\n", (residentKiB() - before) / 1024.0);
    std::printf("senses_read %zu\n", senses);
    return 0;
}
