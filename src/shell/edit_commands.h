#pragma once

namespace lexivo {

class Frm_Main;

// Connects the Edit menu's "&Add", "&Delete" and "Delete selected" of the main window. Connecting a second
// time changes nothing.
void InstallEditCommands(Frm_Main& window);

// Adds the text of Text1, exactly as typed, as a word.
void AddWordCommand(Frm_Main& window);
// Deletes from the database, and from List1, the current entry (index 0) or every selected entry (index 1).
// Nothing happens when no entry is selected; the remaining entries keep their order.
void DeleteWordsCommand(Frm_Main& window, int index);

}  // namespace lexivo
