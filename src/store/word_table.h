#pragma once

#include <memory>

#include "store/connection.h"

namespace lexivo {

class Statement;

// The table Dictionary opened directly: exact look-ups on the Word index, adding rows and deleting a word.
class WordTable {
public:
    explicit WordTable(Connection& connection);
    ~WordTable();
    WordTable(const WordTable&) = delete;
    WordTable& operator=(const WordTable&) = delete;

    // True when a row whose Word equals word (ignoring case) exists; seek's NoMatch is !seek.
    bool seek(const QString& word);
    // Adds a row with its keys.
    void addNew(const QString& word, const QString& sorted, const QString& letters);
    // Deletes every row whose Word equals word under the engine's comparison; returns how many.
    qint64 deleteWord(const QString& word);

private:
    Connection& connection_;
    std::unique_ptr<Statement> seek_;
    std::unique_ptr<Statement> insert_;
    std::unique_ptr<Statement> delete_;
};

}  // namespace lexivo
