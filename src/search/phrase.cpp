#include <algorithm>

#include "common/run_control.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "search/word_games.h"

namespace lexivo {

namespace {

// The search for phrases: the words that fit into the phrase's letters (the candidates) are found first; then
// the first word is tried in the word order, and for each the candidates that fit into the letters left and may
// follow it, and so on. The last word is looked up by the letters left.
class PhraseSearch {
public:
    PhraseSearch(const WordSnapshot& words, RunControl& run, WordSink& sink) : words_(words), run_(run), sink_(sink) {}

    qint64 run(const QString& text, int maxWords, int minLetters, int maxLetters) {
        if (prepare(text, minLetters, maxLetters)) {
            const int passes = std::clamp(maxWords, 1, kMaxPhraseWords);
            run_.setProgressMaximum(static_cast<qint64>(passes) * static_cast<qint64>(candidates_.size()));
            for (int k = 1; k <= passes && !stopped_; ++k) {
                progressBase_ = static_cast<qint64>(k - 1) * static_cast<qint64>(candidates_.size());
                // Each word has lowest to highest letters; k words must be able to hold the phrase.
                if (k * lowest_ > letterCount_ || k * highest_ < letterCount_) continue;
                path_.clear();
                if (k == 1) {
                    finishWith(phrase_, -1);
                } else {
                    remaining_.assign(static_cast<size_t>(k) + 1, {});
                    lists_.assign(static_cast<size_t>(k) + 1, {});
                    remaining_[0] = phrase_;
                    lists_[0].resize(candidates_.size());
                    for (size_t c = 0; c < candidates_.size(); ++c) lists_[0][c] = static_cast<int>(c);
                    search(0, k, letterCount_);
                }
            }
        }
        run_.flush(progress_, current_);
        sink_.flush();
        return listed_;
    }

private:
    using Counts = std::vector<quint16>;  // how many of each of the phrase's letters

    struct Candidate {
        quint32 word;  // the word's index
        int length;
        quint64 mask;  // bit (i % 64) for each phrase letter i the word holds
    };

    // The phrase's letters, the candidates and the look-up of a last word. False when nothing can match.
    bool prepare(const QString& text, int minLetters, int maxLetters) {
        std::vector<int> phraseIndex(static_cast<size_t>(words_.alphabetSize()), -1);
        quint64 phraseIds = 0;
        for (const auto& [letter, count] : LetterRack(text, false, words_.baseLetters()).letters) {
            const int id = words_.letterId(letter);
            if (id < 0 || count > 0xFFFF) return false;  // a letter that no word holds
            phraseIndex[static_cast<size_t>(id)] = static_cast<int>(phrase_.size());
            phrase_.push_back(static_cast<quint16>(count));
            phraseIds |= LetterBit(static_cast<quint32>(id));
            letterCount_ += count;
        }
        if (letterCount_ == 0) return false;
        lowest_ = std::max(minLetters, 1);
        highest_ = std::min({maxLetters > 0 ? maxLetters : letterCount_, letterCount_, words_.longestWord()});
        width_ = phrase_.size();

        std::vector<qsizetype> found;
        std::vector<quint32> ids;
        Counts counts(width_);
        const auto countLetters = [&](qsizetype index) {
            std::fill(counts.begin(), counts.end(), 0);
            words_.letterIds(index, ids);
            for (const quint32 id : ids) {
                const int at = phraseIndex[id];
                if (at < 0 || ++counts[static_cast<size_t>(at)] > phrase_[static_cast<size_t>(at)]) return false;
            }
            return true;
        };
        for (int n = lowest_; n <= highest_; ++n) {
            const auto [first, end] = words_.withLetterCount(n);
            for (qsizetype index = first; index < end; ++index)
                if (!(words_.letterMask(index) & ~phraseIds) && countLetters(index)) found.push_back(index);
        }
        // The candidates in the word order, each with its letters counted by the phrase's letters.
        std::sort(found.begin(), found.end(),
                  [this](qsizetype a, qsizetype b) { return words_.wordOrder(a) < words_.wordOrder(b); });
        for (const qsizetype index : found) {
            countLetters(index);
            quint64 mask = 0;
            for (size_t i = 0; i < width_; ++i)
                if (counts[i]) mask |= LetterBit(static_cast<quint32>(i));
            const int c = static_cast<int>(candidates_.size());
            candidates_.push_back({static_cast<quint32>(index), words_.letterCount(index), mask});
            counts_.insert(counts_.end(), counts.begin(), counts.end());
            byCounts_[hash(counts.data())].push_back(c);
        }
        return !candidates_.empty();
    }

    const quint16* countsOf(int c) const { return counts_.data() + static_cast<size_t>(c) * width_; }

    quint64 hash(const quint16* counts) const {
        quint64 h = 1469598103934665603ULL;
        for (size_t i = 0; i < width_; ++i) h = (h ^ counts[i]) * 1099511628211ULL;
        return h;
    }

    static quint64 maskOf(const Counts& counts) {
        quint64 mask = 0;
        for (size_t i = 0; i < counts.size(); ++i)
            if (counts[i]) mask |= LetterBit(static_cast<quint32>(i));
        return mask;
    }

    bool fits(int c, const Counts& left, quint64 leftMask) const {
        if (candidates_[static_cast<size_t>(c)].mask & ~leftMask) return false;
        const quint16* own = countsOf(c);
        for (size_t i = 0; i < width_; ++i)
            if (own[i] > left[i]) return false;
        return true;
    }

    // Whether c may follow prev in an entry: shorter, or as long and not before it in the word order.
    bool mayFollow(int c, int prev) const {
        if (prev < 0) return true;
        const int a = candidates_[static_cast<size_t>(c)].length;
        const int b = candidates_[static_cast<size_t>(prev)].length;
        return a < b || (a == b && c >= prev);
    }

    // Chooses the word at this level of the words left; each is the longest of those still to come.
    void search(int level, int wordsLeft, int lettersLeft) {
        // Every word of the list fits into the letters left: the first level's are the candidates, and each
        // further list is filtered before it is searched.
        const Counts& left = remaining_[static_cast<size_t>(level)];
        const std::vector<int>& list = lists_[static_cast<size_t>(level)];
        for (size_t i = 0; i < list.size(); ++i) {
            const int c = list[i];
            if (level == 0) {
                progress_ = progressBase_ + static_cast<qint64>(i);
                if (listed_ == 0) current_ = words_.word(candidates_[static_cast<size_t>(c)].word);
            }
            if (tick()) return;
            const int length = candidates_[static_cast<size_t>(c)].length;
            if (length * wordsLeft < lettersLeft || lettersLeft - length < (wordsLeft - 1) * lowest_) continue;
            Counts& next = remaining_[static_cast<size_t>(level) + 1];
            next = left;
            const quint16* own = countsOf(c);
            for (size_t k = 0; k < width_; ++k) next[k] = static_cast<quint16>(next[k] - own[k]);
            const int nextLetters = lettersLeft - length;
            path_.push_back(c);
            if (wordsLeft == 2) {
                finishWith(next, c);
            } else {
                const quint64 nextMask = maskOf(next);
                const int longest = nextLetters - (wordsLeft - 2) * lowest_;
                std::vector<int>& follow = lists_[static_cast<size_t>(level) + 1];
                follow.clear();
                for (const int d : list)
                    if (candidates_[static_cast<size_t>(d)].length <= longest && mayFollow(d, c) &&
                        fits(d, next, nextMask))
                        follow.push_back(d);
                if (!follow.empty()) search(level + 1, wordsLeft - 1, nextLetters);
            }
            path_.pop_back();
            if (stopped_) return;
        }
    }

    // The last word: the candidates made of exactly the letters left, that may follow prev.
    void finishWith(const Counts& left, int prev) {
        const auto at = byCounts_.find(hash(left.data()));
        if (at == byCounts_.end()) return;
        for (const int c : at->second) {
            if (!mayFollow(c, prev) || !std::equal(left.begin(), left.end(), countsOf(c))) continue;
            QString entry;
            for (const int w : path_) entry += words_.word(candidates_[static_cast<size_t>(w)].word) + QLatin1Char(' ');
            entry += words_.word(candidates_[static_cast<size_t>(c)].word);
            sink_.add(entry);
            ++listed_;
            current_ = std::move(entry);
            if (tick()) return;
        }
    }

    // The per-record step of the run; true once the user has stopped it.
    bool tick() {
        if (run_.step(progress_, current_)) sink_.flush();
        stopped_ = stopped_ || run_.stopFlag();
        return stopped_;
    }

    const WordSnapshot& words_;
    RunControl& run_;
    WordSink& sink_;
    Counts phrase_;
    int letterCount_ = 0;
    size_t width_ = 0;
    int lowest_ = 1;
    int highest_ = 0;
    std::vector<Candidate> candidates_;
    std::vector<quint16> counts_;  // width_ per candidate
    std::unordered_map<quint64, std::vector<int>> byCounts_;
    std::vector<Counts> remaining_;        // the letters left at each level
    std::vector<std::vector<int>> lists_;  // the candidates at each level
    std::vector<int> path_;
    qint64 listed_ = 0;
    qint64 progress_ = 0;
    qint64 progressBase_ = 0;
    QString current_;
    bool stopped_ = false;
};

}  // namespace

qint64 ListPhrases(const WordSnapshot& words, const QString& text, int maxWords, int minLetters, int maxLetters,
                   RunControl& run, WordSink& sink) {
    return PhraseSearch(words, run, sink).run(text, maxWords, minLetters, maxLetters);
}

qint64 SearchPhrase(Connection& db, const QString& text, int maxWords, int minLetters, int maxLetters, RunControl& run,
                    WordSink& sink, std::optional<int> maxLevel, bool ignoreAccents) {
    const std::shared_ptr<const WordSnapshot> words =
        ReadWordsFor(db, LetterRack(text, false, ignoreAccents), run, maxLevel, ignoreAccents);
    return words ? ListPhrases(*words, text, maxWords, minLetters, maxLetters, run, sink) : 0;
}

}  // namespace lexivo
