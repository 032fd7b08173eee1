#include "store/word_table.h"

#include "store/statement.h"

namespace lexivo {

// ---- WordTable ----

WordTable::WordTable(Connection& connection) : connection_(connection) {
    if (connection_.columns(QStringLiteral("Dictionary")).empty())
        throw Error(QStringLiteral("The word database has no table Dictionary."));
}

WordTable::~WordTable() = default;

bool WordTable::seek(const QString& word) {
    if (!seek_)
        seek_ = std::make_unique<Statement>(connection_,
                                            QStringLiteral("SELECT 1 FROM [Dictionary] WHERE [Word]=?1 LIMIT 1"));
    seek_->reset();
    seek_->bind(1, word);
    const bool found = seek_->step();
    seek_->reset();
    return found;
}

void WordTable::addNew(const QString& word, const QString& sorted, const QString& letters) {
    if (!insert_)
        insert_ = std::make_unique<Statement>(
            connection_, QStringLiteral("INSERT INTO [Dictionary]([Word],[Sorted],[Letters]) VALUES(?1,?2,?3)"));
    // The texts stay alive until the step is done: SQLite may read them in place.
    insert_->bindInPlace(1, word);
    insert_->bindInPlace(2, sorted);
    insert_->bindInPlace(3, letters);
    insert_->step();
    insert_->reset();
}

qint64 WordTable::deleteWord(const QString& word) {
    if (!delete_)
        delete_ = std::make_unique<Statement>(connection_, QStringLiteral("DELETE FROM [Dictionary] WHERE [Word]=?1"));
    delete_->reset();
    delete_->bind(1, word);
    delete_->step();
    delete_->reset();
    return connection_.changes();
}

}  // namespace lexivo
