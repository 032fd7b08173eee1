#pragma once

#include <QString>

#include "store/compaction.h"

namespace lexivo {

class Frm_Main;

// Connects the File menu's maintenance commands of the main window: "Check Database", "&Quick Re-build",
// "Complete Rebuild" and "Compact Database". Connecting a second time changes nothing.
void InstallMaintenanceCommands(Frm_Main& window);

// The commands; each does nothing while a run is active or no database is loaded.
void CheckDatabaseCommand(Frm_Main& window);
void QuickRebuildCommand(Frm_Main& window);
void CompleteRebuildCommand(Frm_Main& window);
void CompactDatabaseCommand(Frm_Main& window, const CompactionHooks& hooks = {});

// Where compaction puts its intermediate file: the program's folder, or the folder of the settings file where
// the program's folder cannot be written.
QString CompactionFolder(const Frm_Main& window);

}  // namespace lexivo
