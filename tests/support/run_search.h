#pragma once

// The one way the tests run a search through the core: as the window and lexivo-cli run it, inside a run and one
// transaction. Every test that searches goes through here.

#include <QStringList>

#include "support/reference.h"

namespace lexivo {
class Connection;
class Dialogs;
class SearchSession;
struct SearchRequest;
}  // namespace lexivo

namespace lexivo::test {

class FakeRun;

// Runs mode with input; minimum and maximum length limits in characters (0, 0: none). Add and Delete answer
// through dialogs (ScriptedDialogs without one). Returns the words listed, in list order. Engine errors escape.
QStringList RunSearchForTest(Connection& db, TestMode mode, const QString& input, int minimum = 0, int maximum = 0,
                             bool sortByLength = false, Dialogs* dialogs = nullptr, FakeRun* run = nullptr);

// Runs a request as it stands: through the database, or as the window's search session runs it.
QStringList RunRequestForTest(Connection& db, const SearchRequest& request, Dialogs* dialogs = nullptr,
                              FakeRun* run = nullptr);
QStringList RunRequestForTest(SearchSession& session, const SearchRequest& request, FakeRun* run = nullptr);

}  // namespace lexivo::test
