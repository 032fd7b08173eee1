#include "shell/help_commands.h"

#include <QAction>

#include "shell/contact.h"
#include "shell/frm_about.h"
#include "shell/frm_main.h"
#include "shell/help_window.h"

namespace lexivo {

void AboutCommand(Frm_Main& window) {
    Frm_About about(window.database(), &window);
    about.exec();
}

void HelpContentsCommand(Frm_Main& window) {
    ShowHelp(&window, window.dialogs());
}

void WebSiteCommand() {
    OpenLink(kWebAddress);
}

void InstallHelpCommands(Frm_Main& window) {
    static const char* const kInstalled = "lexivoHelpCommands";
    if (window.property(kInstalled).toBool()) return;
    window.setProperty(kInstalled, true);
    QObject::connect(window.Mnu_Help_About, &QAction::triggered, &window, [&window] { AboutCommand(window); });
    QObject::connect(window.Mnu_Help_Contents, &QAction::triggered, &window,
                     [&window] { HelpContentsCommand(window); });
    QObject::connect(window.Mnu_Help_WebSite, &QAction::triggered, &window, [] { WebSiteCommand(); });
}

}  // namespace lexivo
