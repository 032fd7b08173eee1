#pragma once

#include <QString>

#include "search/search_query.h"

class QComboBox;

namespace lexivo {

class Frm_Main;

// The search command of the main window (a click on Cmd_Search): reads the search panel, records the input in
// the history, runs the selected mode in one transaction as a long run of the window, fills the results list
// and ends with the number of words found in the status line. An engine failure is reported with its reason
// and leaves the window idle, the transaction rolled back.
void RunSearch(Frm_Main& window);

// The input history of Text1: the input becomes the first entry, an equal earlier entry (same case) is removed,
// and the box shows the input. The box's change notifications are held back meanwhile: the input itself does
// not change, so the length lists must not be reset by the rearranging of the entries.
void RecordInput(QComboBox& text1, const QString& input);

// The status line after a search that the engine could not complete.
inline const QString kSearchFailed = QStringLiteral("Search failed.");
// The status line when the input cannot be searched for (a message box says why).
inline const QString kInputProblem = QStringLiteral("Check the input.");

}  // namespace lexivo
