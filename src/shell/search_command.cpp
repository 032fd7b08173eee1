#include "shell/search_command.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <memory>
#include <vector>

#include "search/search_query.h"
#include "search/search_run.h"
#include "shell/frm_main.h"
#include "shell/long_run.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/dialogs.h"
#include "store/engine.h"

namespace lexivo {

namespace {

// Words go to the results list in batches, once per time slice of the run and at its end: one model update per
// batch instead of one per word.
class ResultsSink : public WordSink {
public:
    explicit ResultsSink(ResultsModel& model) : model_(model) {}
    void add(const QString& word) override { pending_.append(word); }
    void flush() override {
        if (pending_.isEmpty()) return;
        model_.append(pending_);
        pending_.clear();
    }
    // Kept until the search has shown its result: a stop is not kept waiting by the release of the rows the run
    // read but never listed.
    void release(std::unique_ptr<Cursor> cursor) override { done_.push_back(std::move(cursor)); }

private:
    ResultsModel& model_;
    QStringList pending_;
    std::vector<std::unique_ptr<Cursor>> done_;
};

SearchRequest readRequest(const SearchPanel& panel, const QString& mode, const QString& input) {
    const QComboBox* minimum = panel.Cmb_Letters[SearchPanel::Minimum];
    const QComboBox* maximum = panel.Cmb_Letters[SearchPanel::Maximum];
    // The sort choice counts even while the panel hides it.
    SearchRequest request{mode, input,
                          LengthClause(minimum->currentIndex(), minimum->currentText(), maximum->currentText()),
                          OrderClause(panel.Chk_Sort->isChecked())};
    if (minimum->currentIndex() > 0) {
        request.minLetters = panel.lengthLimit(SearchPanel::Minimum);
        request.maxLetters = panel.lengthLimit(SearchPanel::Maximum);
    }
    return request;
}

}  // namespace

QString FoundMessage(qint64 count) {
    return QStringLiteral("Found %1 word(s).").arg(count);
}

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

    const int selected = panel.selectedMode();
    const bool palindrome = selected == SearchPanel::Palindrome;
    const QString input = panel.Text1->currentText();
    if (input.isEmpty() && !palindrome) return;
    RecordInput(*panel.Text1, input);
    const QString mode = SearchMode(selected);

    // Busy: "&Stop", the panel disabled, the busy pointer; then an empty list and the run's one transaction.
    run.beginRun(kStartingSearch);
    window.results().clear();
    Connection& db = state.CurrentDatabase;
    ResultsSink sink(window.results());
    bool begun = false;
    QString failure;
    try {
        db.beginTransaction();
        begun = true;
        RunSearchMode(db, readRequest(panel, mode, input), run, window.dialogs(), sink);
        // Also after a stop: what was added or deleted before it stays.
        db.commit();
    } catch (const Error& e) {
        failure = e.message();
    }
    sink.flush();
    if (!failure.isEmpty() && begun) {
        // All or nothing: a failed run keeps no part of an addition or of a deletion of several rows.
        try {
            db.rollback();
        } catch (const Error&) {
            // The connection is past rolling back; closing it later rolls back all the same.
        }
    }

    run.endRun();
    if (!palindrome) panel.Text1->setFocus();
    if (!failure.isEmpty()) {
        run.setStatus(kSearchFailed);
        window.dialogs().failure(QStringLiteral("The search failed: ") + failure);
        return;
    }
    run.setStatus(FoundMessage(window.results().count()));
}

}  // namespace lexivo
