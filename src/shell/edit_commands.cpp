#include "shell/edit_commands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <algorithm>
#include <functional>
#include <vector>

#include "common/dialogs.h"
#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/word_editing.h"

namespace lexivo {

namespace {

bool usable(Frm_Main& window) {
    return !window.runActive() && window.database().loaded();
}

// Rows marked from the selection's ranges: a few ranges even after "Select all" on a long list.
std::vector<char> selectedRows(const QItemSelectionModel& selection, qsizetype count) {
    std::vector<char> selected(static_cast<size_t>(count), 0);
    for (const QItemSelectionRange& range : selection.selection())
        for (int row = qMax(0, range.top()); row <= range.bottom() && row < count; ++row)
            selected[static_cast<size_t>(row)] = 1;
    return selected;
}

// Takes the deleted entries out of the list. The remaining entries are put back in their order in one go (one
// model update instead of one per entry); those that were selected stay selected, and the current entry
// becomes the one that took the place of the current one.
void removeEntries(Frm_Main& window, const std::vector<char>& removed) {
    ResultsModel& model = window.results();
    QItemSelectionModel& selection = *window.List1->selectionModel();
    const std::vector<char> selected = selectedRows(selection, model.count());
    const int oldCurrent = window.List1->currentIndex().row();

    QStringList kept;
    kept.reserve(model.count());
    std::vector<int> keptSelected;
    int newCurrent = -1;
    for (qsizetype row = 0; row < model.count(); ++row) {
        if (row == oldCurrent) newCurrent = static_cast<int>(kept.size());
        if (removed[static_cast<size_t>(row)]) continue;
        if (selected[static_cast<size_t>(row)]) keptSelected.push_back(static_cast<int>(kept.size()));
        kept << model.word(row);
    }
    model.clear();
    model.append(kept);
    if (kept.isEmpty()) return;

    QItemSelection ranges;
    for (size_t i = 0; i < keptSelected.size();) {
        size_t j = i;
        while (j + 1 < keptSelected.size() && keptSelected[j + 1] == keptSelected[j] + 1) ++j;
        ranges.select(model.index(keptSelected[i]), model.index(keptSelected[j]));
        i = j + 1;
    }
    selection.select(ranges, QItemSelectionModel::Select);
    if (newCurrent >= 0) {
        const QModelIndex current = model.index(qMin(newCurrent, static_cast<int>(kept.size()) - 1));
        selection.setCurrentIndex(current, QItemSelectionModel::NoUpdate);
        window.List1->scrollTo(current);
    }
}

}  // namespace

void AddWordCommand(Frm_Main& window) {
    if (!usable(window)) return;
    AddWord(window.database().CurrentDatabase, window.Fme_Search->Text1->currentText(), window.dialogs());
}

void DeleteWordsCommand(Frm_Main& window, int index) {
    if (!usable(window)) return;
    const ResultsModel& model = window.results();
    const QItemSelectionModel& selection = *window.List1->selectionModel();
    if (!selection.hasSelection()) return;

    std::vector<char> targets(static_cast<size_t>(model.count()), 0);
    QString question;
    if (index == 1) {
        targets = selectedRows(selection, model.count());
        question = DeleteSelectedQuestion(std::count(targets.begin(), targets.end(), 1));
    } else {
        const QModelIndex current = window.List1->currentIndex();
        if (!current.isValid()) return;
        targets[static_cast<size_t>(current.row())] = 1;
        question = DeleteCurrentQuestion(model.word(current.row()));
    }
    if (!window.dialogs().question(question, kProgramTitle, Dialogs::DefaultButton::No)) return;

    // From the last entry to the first, as the list is walked.
    QStringList words;
    for (qsizetype row = model.count() - 1; row >= 0; --row)
        if (targets[static_cast<size_t>(row)]) words << model.word(row);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const DeleteResult result = DeleteWords(window.database().CurrentDatabase, words, window.dialogs());
    QApplication::restoreOverrideCursor();
    // A failure has deleted nothing, so the list stays as it is too.
    if (result.ok()) removeEntries(window, targets);
}

void InstallEditCommands(Frm_Main& window) {
    static const char* const kInstalled = "lexivoEditCommands";
    if (window.property(kInstalled).toBool()) return;
    window.setProperty(kInstalled, true);
    QObject::connect(window.Mnu_Edit_Add, &QAction::triggered, &window, [&window] { AddWordCommand(window); });
    for (int i = 0; i < 2; ++i)
        QObject::connect(window.Mnu_Edit_Delete[static_cast<size_t>(i)], &QAction::triggered, &window,
                         [&window, i] { DeleteWordsCommand(window, i); });
}

}  // namespace lexivo
