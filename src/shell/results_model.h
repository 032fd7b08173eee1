#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <functional>

namespace lexivo {

// The words of the last search, one entry per word, in the order the search found them. Searches append in
// batches, so a long result costs a few model updates instead of one per word.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ResultsModel(QObject* parent = nullptr);

    void append(const QStringList& batch);
    void clear();
    qsizetype count() const { return words_.size(); }
    const QString& word(qsizetype index) const { return words_.at(index); }
    const QStringList& words() const { return words_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // The tool tip of a word, asked for when the pointer rests on it; none without it.
    std::function<QString(const QString& word)> toolTip;

private:
    QStringList words_;
};

}  // namespace lexivo
