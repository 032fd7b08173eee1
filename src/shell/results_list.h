#pragma once

#include <QListView>

namespace lexivo {

// The results list: entries flow top to bottom and wrap into further columns, of which a chosen number fill
// the visible width; more entries than fit scroll sideways.
class ResultsList : public QListView {
    Q_OBJECT
public:
    explicit ResultsList(QWidget* parent = nullptr);

    void setColumnCount(int columns);
    int columnCount() const { return columns_; }

protected:
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateGrid();

    int columns_ = 3;  // the design state: "3" is the columns choice selected at start
};

}  // namespace lexivo
