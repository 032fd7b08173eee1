#pragma once

#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace lexivo {

class Dialogs;

// The help document shipped with the program.
inline const QString kHelpFile = QStringLiteral(":/help/lexivo.html");

// The help viewer: the help document's topics in a window of their own beside the main window. Links within
// the document stay in the window; links to the web open in the browser.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner = nullptr);

    QTextBrowser* Txt_Help;
    QPushButton* Cmd_Close;

    // Shows the document at its first topic. Returns the reason when it cannot, the empty text when it can.
    QString load(const QString& helpFile);

protected:
    // Esc closes the window, as it closes the program's other windows.
    void keyPressEvent(QKeyEvent* event) override;
};

// Shows the topics of helpFile (the program's help document when empty) in the help window of owner, which
// is made once and then brought to the front. A document that cannot be shown is reported with the reason in
// a message box; the result is then null.
HelpWindow* ShowHelp(QWidget* owner, Dialogs& dialogs, const QString& helpFile = QString());

}  // namespace lexivo
