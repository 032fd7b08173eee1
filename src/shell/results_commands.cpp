#include "shell/results_commands.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <vector>

#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"

namespace lexivo {

void SetResultsColumns(Frm_Main& window, int index) {
    window.List1->setColumnCount(index + 1);
    window.List1->viewport()->repaint();
}

void SelectAllResults(Frm_Main& window) {
    if (window.results().count() > 0) window.List1->selectAll();
}

QString CopyText(const ResultsModel& model, const QItemSelectionModel* selection) {
    const qsizetype count = model.count();
    // The selection is a few ranges, even after "Select all" on a long list: mark rows from the ranges rather
    // than asking about each row.
    std::vector<bool> selected(static_cast<size_t>(count), false);
    bool any = false;
    if (selection) {
        for (const QItemSelectionRange& range : selection->selection()) {
            for (int row = qMax(0, range.top()); row <= range.bottom() && row < count; ++row) {
                selected[static_cast<size_t>(row)] = true;
                any = true;
            }
        }
    }
    qsizetype length = 0;
    for (qsizetype i = 0; i < count; ++i)
        if (!any || selected[static_cast<size_t>(i)]) length += model.word(i).size() + 2;
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < count; ++i) {
        if (any && !selected[static_cast<size_t>(i)]) continue;
        text += model.word(i);
        text += QLatin1String("\r\n");
    }
    return text;
}

void CopyResults(Frm_Main& window) {
    QGuiApplication::clipboard()->setText(CopyText(window.results(), window.List1->selectionModel()));
}

void TakeCurrentWord(Frm_Main& window) {
    const QModelIndex current = window.List1->currentIndex();
    if (!current.isValid()) return;
    // Setting the text raises the input change rules, as typing it would.
    window.Fme_Search->Text1->setEditText(window.results().word(current.row()));
}

void InstallResultsCommands(Frm_Main& window) {
    for (int i = 0; i < static_cast<int>(window.Opt_Columns.size()); ++i) {
        QObject::connect(window.Opt_Columns[static_cast<size_t>(i)], &QRadioButton::toggled, &window,
                         [&window, i](bool checked) {
                             if (checked) SetResultsColumns(window, i);
                         });
    }
    QObject::connect(window.Mnu_SelectAll, &QAction::triggered, &window, [&window] { SelectAllResults(window); });
    QObject::connect(window.Mnu_Edit_Copy, &QAction::triggered, &window, [&window] { CopyResults(window); });
    QObject::connect(window.List1, &QAbstractItemView::clicked, &window, [&window] { TakeCurrentWord(window); });
}

}  // namespace lexivo
