#include "common/run_control.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/word_games.h"

namespace lexivo {

qint64 SearchRack(Connection& db, const QString& tiles, int minLetters, int maxLetters, RunControl& run, WordSink& sink,
                  std::optional<int> maxLevel, bool ignoreAccents) {
    const std::shared_ptr<const WordSnapshot> words =
        ReadWordsFor(db, LetterRack(tiles, true, ignoreAccents), run, maxLevel, ignoreAccents);
    return words ? ListRackWords(*words, tiles, minLetters, maxLetters, run, sink) : 0;
}

qint64 ListRackWords(const WordSnapshot& words, const QString& tiles, int minLetters, int maxLetters, RunControl& run,
                     WordSink& sink) {
    const LetterRack rack(tiles, true, words.baseLetters());
    const int tileCount = rack.tiles;
    const int blanks = rack.blanks;
    std::vector<quint32> have(static_cast<size_t>(words.alphabetSize()), 0);
    quint64 rackMask = 0;
    for (const auto& [letter, count] : rack.letters) {
        // A tile of a letter that no word holds is a tile all the same, of no use.
        if (const int id = words.letterId(letter); id >= 0) {
            have[static_cast<size_t>(id)] = static_cast<quint32>(count);
            rackMask |= LetterBit(static_cast<quint32>(id));
        }
    }
    std::vector<quint32> used(have.size(), 0);
    const auto fits = [&](qsizetype index) {
        int needed = 0;
        words.forEachLetterId(index, [&](quint32 id) { return ++used[id] <= have[id] || ++needed <= blanks; });
        words.forEachLetterId(index, [&](quint32 id) { return (used[id] = 0) == 0; });
        return needed <= blanks;
    };

    const int lowest = std::max(minLetters, 1);
    const int highest = std::min({maxLetters > 0 ? maxLetters : tileCount, tileCount, words.longestWord()});
    qint64 total = 0;
    for (int n = lowest; n <= highest; ++n) {
        const auto [first, end] = words.withLetterCount(n);
        total += end - first;
    }
    run.setProgressMaximum(total);
    qint64 counter = 0;
    qint64 listed = 0;
    QString current;
    for (int n = highest; n >= lowest && !run.stopFlag(); --n) {
        const auto [first, end] = words.withLetterCount(n);
        for (qsizetype index = first; index < end; ++index) {
            ++counter;
            // Every letter the rack lacks needs a blank of its own: a quick no for most words.
            if (AtMostBits(words.letterMask(index) & ~rackMask, blanks) && fits(index)) {
                current = words.word(index);
                sink.add(current);
                ++listed;
            }
            if (run.step(counter, current)) sink.flush();
            if (run.stopFlag()) break;
        }
    }
    run.flush(counter, current);
    sink.flush();
    return listed;
}

}  // namespace lexivo
