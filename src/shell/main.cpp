#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "shell/appearance.h"
#include "shell/frm_main.h"
#include "shell/qt_dialogs.h"

namespace {

class CommandLine {
public:
    CommandLine() {
        parser.setApplicationDescription(
            QStringLiteral("Lexivo, a desktop aid for word games: anagrams, synograms, letters in a word, fixed "
                           "masks and palindromes from a word database."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(fallback);
        parser.addPositionalArgument(QStringLiteral("FILE"),
                                     QStringLiteral("The word database to open, as File Open would open it."),
                                     QStringLiteral("[FILE]"));
    }

    // --help and --version answer on a terminal without a display: they are looked for before the window
    // system is reached, and end the program.
    void answerHelpAndVersion(int argc, char** argv) {
        QCoreApplication probe(argc, argv);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
        if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
    }

    // The rest, once the window system has taken its own options (-platform and the like); ends the program on
    // a usage error.
    lexivo::StartUpFiles startUpFiles(const QCoreApplication& app) {
        parser.process(app);
        const QStringList files = parser.positionalArguments();
        if (files.size() > 1) {
            std::fputs("lexivo: one word database at a time\n", stderr);
            std::exit(2);
        }
        lexivo::StartUpFiles start;
        // Full paths: the settings file records them for the next start, wherever that is made from.
        if (!files.isEmpty()) start.file = QDir::current().absoluteFilePath(files.first());
        if (parser.isSet(fallback)) start.fallback = QDir::current().absoluteFilePath(parser.value(fallback));
        return start;
    }

private:
    QCommandLineParser parser;
    const QCommandLineOption fallback{
        QStringLiteral("default-database"),
        QStringLiteral("The word database to open when no FILE is given and the settings name none that exists."),
        QStringLiteral("DATABASE")};
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(lexivo::kApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(LEXIVO_VERSION));
    CommandLine commandLine;
    commandLine.answerHelpAndVersion(argc, argv);

    QApplication app(argc, argv);
    const lexivo::StartUpFiles start = commandLine.startUpFiles(app);
    QApplication::setFont(lexivo::programFont());
    QApplication::setWindowIcon(lexivo::programIcon());
    QApplication::setDesktopFileName(QStringLiteral("lexivo"));
    lexivo::QtDialogs::keepToolkitSettingsTemporary();

    lexivo::QtDialogs dialogs;
    // The main window is never destroyed. Its shutdown has written the settings file and closed the database
    // by the time the event loop ends; all it still holds is memory, and a results list of 600,000 words takes
    // a tenth of a second to free word by word, where the end of the process gives it back at once. (A static
    // keeps it reachable for leak checkers.)
    static lexivo::Frm_Main* const window =
        new lexivo::Frm_Main(dialogs, QCoreApplication::applicationDirPath(), start);
    if (window->abandoned()) return 1;
    dialogs.setParentWindow(window);
    window->showCentred();
    return QApplication::exec();
}
