#include "shell/search_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSignalBlocker>
#include <algorithm>
#include <memory>
#include <vector>

#include "common/dialogs.h"
#include "common/run_control.h"
#include "search/scan_search.h"
#include "search/search_query.h"
#include "search/search_run.h"
#include "shell/frm_main.h"
#include "shell/lexicon_commands.h"
#include "shell/long_run.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/engine.h"

namespace lexivo {

namespace {

// Words go to the results list in batches, as the run shows its progress and at its end: one model update per
// batch instead of one per word. The list lays all its rows out again for each batch, so a long list gets its
// batches less often: laying it out takes at most a fifth of the run, and a batch comes at least every 100 ms.
class ResultsSink : public WordSink {
public:
    explicit ResultsSink(ResultsModel& model) : model_(model) {}
    void add(const QString& word) override { pending_.append(word); }
    void flush() override {
        if (!pending_.isEmpty() && (!shown_.isValid() || shown_.elapsed() >= wait_)) show();
    }
    // The words still held back, whatever the time (the end of the search).
    void show() {
        if (pending_.isEmpty()) return;
        shown_.start();
        model_.append(pending_);
        pending_.clear();
        wait_ = std::clamp<qint64>(shown_.elapsed() * 4, RunControl::kSliceMilliseconds, 100);
        shown_.start();
    }
    // Kept until the search has shown its result: a stop is not kept waiting by the release of the rows the run
    // read but never listed.
    void release(std::unique_ptr<Cursor> cursor) override { done_.push_back(std::move(cursor)); }

private:
    ResultsModel& model_;
    QStringList pending_;
    QElapsedTimer shown_;
    qint64 wait_ = 0;
    std::vector<std::unique_ptr<Cursor>> done_;
};

// The request the search panel shows. A length limit is chosen when the minimum list is past "(All words)"; the
// rule of the lists has then put the maximum list past it too.
SearchRequest readRequest(const SearchPanel& panel, const QString& input) {
    const QComboBox* minimum = panel.Cmb_Letters[SearchPanel::Minimum];
    const QComboBox* maximum = panel.Cmb_Letters[SearchPanel::Maximum];
    SearchRequest request;
    request.mode = SearchModeOfButton(panel.selectedMode());
    request.input = input;
    if (minimum->currentIndex() > 0) {
        request.minimumLength = SearchPanel::entryValue(minimum->currentText());
        request.maximumLength = SearchPanel::entryValue(maximum->currentText());
    }
    // The sort choice counts even while the panel hides it.
    request.sortByLength = panel.Chk_Sort->isChecked();
    return request;
}

}  // namespace

void RecordInput(QComboBox& text1, const QString& input) {
    const QSignalBlocker blocker(&text1);
    for (int i = 0; i < text1.count(); ++i) {
        if (text1.itemText(i) == input) {
            text1.removeItem(i);
            break;
        }
    }
    text1.insertItem(0, input);
    // The new entry is made the current one as well: an editable box whose text matches some other entry than
    // its current one picks that entry when it loses the focus, as it does when the run disables the panel, and
    // the input rules would then reset the length lists under the starting search.
    text1.setCurrentIndex(0);
    text1.setEditText(input);
}

void RunSearch(Frm_Main& window) {
    SearchPanel& panel = *window.Fme_Search;
    LongRun& run = window.longRun();
    DatabaseState& state = window.database();
    // The panel is disabled during a run and without a database; Enter and scripted clicks are refused the same.
    if (run.active() || !state.loaded()) return;

    run.setStatus(kStartingSearch);
    run.setProgressValue(0);
    panel.applyLengthListRule();

    const SearchModeRow* row = SearchModeRowOfButton(panel.selectedMode());
    const bool takesInput = !row || row->takesInput();
    const QString input = panel.Text1->currentText();
    if (input.isEmpty() && takesInput) return;
    RecordInput(*panel.Text1, input);
    SearchRequest request = readRequest(panel, input);
    request.maxLevel = CommonWordsLevel(window);
    request.ignoreAccents = window.Chk_Accents->isChecked();
    request.rankByInformation = window.Chk_Rank->isChecked();
    // Malformed guesses or patterns are told with where they go wrong, before anything runs.
    if (const QString problem = InputProblem(request); !problem.isEmpty()) {
        run.setStatus(kInputProblem);
        window.dialogs().notice(problem);
        panel.Text1->setFocus();
        return;
    }

    // Busy: "&Stop", the panel disabled, the busy pointer; then an empty list and the run's one transaction.
    run.beginRun(kStartingSearch);
    window.results().clear();
    // A rack's results score their best laying from its tiles, in the tool tip as in the score order.
    window.setProperty("lexivoResultsRack", row && row->inputIsRack ? QVariant(request.input) : QVariant());
    window.setProperty("lexivoResultsBaseLetters", request.ignoreAccents);
    ResultsSink sink(window.results());
    const std::unique_ptr<ScoringSink> byScore = ScoreOrder(window, request, sink);
    QString failure;
    try {
        window.session().run(request, run, window.dialogs(), byScore ? *byScore : static_cast<WordSink&>(sink));
        if (byScore) byScore->finish();
    } catch (const Error& e) {
        failure = e.message();
    }
    sink.show();

    run.endRun();
    if (takesInput) panel.Text1->setFocus();
    if (!failure.isEmpty()) {
        run.setStatus(kSearchFailed);
        window.dialogs().failure(QStringLiteral("The search failed: ") + failure);
        return;
    }
    run.setStatus(FoundMessage(window.results().count()));
}

}  // namespace lexivo
