// lexivo-cli: the word searches, the import and export and the database upkeep of Lexivo from a shell, on the
// same core code as the window, so that both give the same words for the same database and input.

#include <QCoreApplication>
#include <cstdio>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/terminal.h"
#include "cli/usage.h"
#include "common/settings_file.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The configuration folder, where the window may keep its settings file, is named after the application.
    QCoreApplication::setApplicationName(lexivo::kApplicationName);

    using namespace lexivo::cli;
    const Parsed parsed = ParseArguments(QCoreApplication::arguments().mid(1));
    const Invocation& inv = parsed.invocation;
    if (!parsed.ok()) {
        const QByteArray text = "lexivo-cli: " + parsed.error.toUtf8() + "\n\n" + CommandUsage(inv.commandName).toUtf8();
        std::fputs(text.constData(), stderr);
        return kUsageError;
    }
    if (inv.version) {
        std::fputs("lexivo-cli " LEXIVO_VERSION "\n", stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kSuccess : kFailure;
    }
    if (inv.help) {
        std::fputs(CommandUsage(inv.commandName).toUtf8().constData(), stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kSuccess : kFailure;
    }
    // Elsewhere Ctrl-C ends the program at once, as it would any other: there is no run to stop cleanly, and
    // every change the program makes is whole or not made.
    if (inv.hasLongRun()) InstallInterruptHandler();
    return RunCommand(inv);
}
