#include "shell/results_model.h"

namespace lexivo {

ResultsModel::ResultsModel(QObject* parent) : QAbstractListModel(parent) {}

void ResultsModel::append(const QStringList& batch) {
    if (batch.isEmpty()) return;
    const auto first = static_cast<int>(words_.size());
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(batch.size()) - 1);
    words_.append(batch);
    endInsertRows();
}

void ResultsModel::clear() {
    if (words_.isEmpty()) return;
    beginResetModel();
    words_.clear();
    endResetModel();
}

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(words_.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= words_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return words_.at(index.row());
    if (role == Qt::ToolTipRole && toolTip) return toolTip(words_.at(index.row()));
    return {};
}

}  // namespace lexivo
