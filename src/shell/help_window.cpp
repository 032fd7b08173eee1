#include "shell/help_window.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "common/dialogs.h"

// Resources of a static library are linked in only through their initialiser, which must be called outside any
// namespace.
static void initHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace lexivo {

namespace {

QUrl sourceOf(const QString& file) {
    if (file.startsWith(QLatin1Char(':'))) return QUrl(QStringLiteral("qrc") + file);
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Lexivo Help"));
    Txt_Help = new QTextBrowser(this);
    Txt_Help->setObjectName(QStringLiteral("Txt_Help"));
    Txt_Help->setOpenExternalLinks(true);
    Cmd_Close = new QPushButton(QStringLiteral("&Close"), this);
    Cmd_Close->setObjectName(QStringLiteral("Cmd_Close"));
    connect(Cmd_Close, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 8);
    buttons->addStretch();
    buttons->addWidget(Cmd_Close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Txt_Help);
    layout->addLayout(buttons);
    resize(620, 560);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

QString HelpWindow::load(const QString& helpFile) {
    initHelpResources();
    if (!QFileInfo::exists(helpFile)) return QStringLiteral("The help document %1 cannot be found.").arg(helpFile);
    if (!QFileInfo(helpFile).isReadable()) return QStringLiteral("The help document %1 cannot be read.").arg(helpFile);
    Txt_Help->clearHistory();
    Txt_Help->setSource(sourceOf(helpFile));
    if (Txt_Help->document()->isEmpty()) return QStringLiteral("The help document %1 is empty.").arg(helpFile);
    setWindowTitle(Txt_Help->documentTitle().isEmpty() ? QStringLiteral("Lexivo Help") : Txt_Help->documentTitle());
    return {};
}

HelpWindow* ShowHelp(QWidget* owner, Dialogs& dialogs, const QString& helpFile) {
    HelpWindow* window = owner ? owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    const bool made = window == nullptr;
    if (made) window = new HelpWindow(owner);
    const QString reason = window->load(helpFile.isEmpty() ? kHelpFile : helpFile);
    if (!reason.isEmpty()) {
        if (made) delete window;
        dialogs.notice(reason);
        return nullptr;
    }
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

}  // namespace lexivo
