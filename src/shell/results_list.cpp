#include "shell/results_list.h"

#include <QResizeEvent>
#include <QScrollBar>

namespace lexivo {

ResultsList::ResultsList(QWidget* parent) : QListView(parent) {
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    // One pass: the rows are laid out as soon as they come (below); 600,000 rows take some 25 ms.
    setLayoutMode(QListView::SinglePass);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setMovement(QListView::Static);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The sideways scroll bar stays: a bar that comes and goes changes the height the entries are laid out in,
    // and a layout could then end with no bar at all (with 4 or 5 columns), a list that could not be scrolled
    // past its first page.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    updateGrid();
}

void ResultsList::setColumnCount(int columns) {
    columns_ = qBound(1, columns, 5);
    updateGrid();
    viewport()->update();
}

void ResultsList::rowsInserted(const QModelIndex& parent, int start, int end) {
    QListView::rowsInserted(parent, start, end);
    // QListView forgets its layout on every insertion and lays the rows out again once the event loop gets to it.
    // During a search the window is painted with the progress, before the run lets the events be handled, and
    // then again after the next batch of results: the list would be painted without a layout, blank, until the
    // search ends. The rows are laid out here instead, so that every painting finds them.
    executeDelayedItemsLayout();
}

void ResultsList::resizeEvent(QResizeEvent* event) {
    QListView::resizeEvent(event);
    // The columns share the visible width, so they widen with the window.
    updateGrid();
}

void ResultsList::changeEvent(QEvent* event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange) updateGrid();
}

void ResultsList::updateGrid() {
    const int rowHeight = fontMetrics().height() + 2;
    const QSize grid(qMax(1, viewport()->width() / columns_), rowHeight);
    if (grid != gridSize()) setGridSize(grid);
}

}  // namespace lexivo
