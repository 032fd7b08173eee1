#pragma once

#include <QtCore>
#include <ostream>

#include "store/current_database.h"

// Failures show texts as text, in every test program.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace lexivo::test {

// A DatabaseView that remembers what loading showed.
class RecordingView : public DatabaseView {
public:
    bool loaded = false;
    QString status;
    void showDatabaseLoaded(const QString&) override { loaded = true; }
    void showNoDatabase() override { loaded = false; }
    void setStatus(const QString& text) override { status = text; }
    void showWindow() override {}
    QStringList progress;
    void showProgress(const QString& text) override { progress << text; }
};

// Creates a complete, empty word database at path the way File New does, then stores words with their keys.
void CreateWordDatabase(const QString& path, const QStringList& words = {});
// Opens a word database (loaded, as the window would have it) into state; fails the test when it does not load.
void OpenWordDatabase(DatabaseState& state, const QString& path);
// Every Word of Dictionary in table order, and one row's keys ("<null>" for a null key).
QStringList StoredWords(Connection& db);
QString StoredKeys(Connection& db, const QString& word);
// A WordNet folder of a few lemmas of each part of speech (cat: two nouns; brave: a noun and two adjectives),
// with the irregular forms geese, ran and went.
void WriteSmallWordNet(const QString& folder);
// Writes bytes to a file.
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

}  // namespace lexivo::test
