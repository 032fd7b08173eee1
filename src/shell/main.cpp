#include <QApplication>

#include "shell/appearance.h"
#include "shell/frm_main.h"
#include "shell/qt_dialogs.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexivo"));
    QApplication::setFont(lexivo::programFont());
    QApplication::setWindowIcon(lexivo::programIcon());

    lexivo::QtDialogs dialogs;
    lexivo::Frm_Main window(dialogs, QCoreApplication::applicationDirPath());
    if (window.abandoned()) return 1;
    dialogs.setParentWindow(&window);
    window.showCentred();
    return QApplication::exec();
}
