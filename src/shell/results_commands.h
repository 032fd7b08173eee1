#pragma once

#include <QString>

class QItemSelectionModel;

namespace lexivo {

class Frm_Main;
class ResultsModel;

// Connects the results list commands of the main window: the columns buttons Opt_Columns, the Edit menu's
// "&Select all" and "&Copy", and a click in List1 taking the current word into Text1. (The Edit menu as the
// list's pop-up menu is the window's own.)
void InstallResultsCommands(Frm_Main& window);

// Lays List1 out in index + 1 columns; contents and selection stay.
void SetResultsColumns(Frm_Main& window, int index);
void SelectAllResults(Frm_Main& window);
// Puts CopyText of List1 on the clipboard as plain text.
void CopyResults(Frm_Main& window);
// Sets Text1 to List1's current entry, which raises the panel's input change rules.
void TakeCurrentWord(Frm_Main& window);

// The selected words in list order, or every word when none is selected, each followed by CR LF.
QString CopyText(const ResultsModel& model, const QItemSelectionModel* selection);

}  // namespace lexivo
