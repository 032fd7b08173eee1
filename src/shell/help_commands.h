#pragma once

namespace lexivo {

class Frm_Main;

// Connects the Help menu of the main window: "&About", "&Contents" and "&Web Site". Connecting a second time
// changes nothing.
void InstallHelpCommands(Frm_Main& window);

// Opens the About window modally over the main window.
void AboutCommand(Frm_Main& window);
// Shows the help document's topics.
void HelpContentsCommand(Frm_Main& window);
// Opens the program's web page, the same address as the About window's link.
void WebSiteCommand();

}  // namespace lexivo
