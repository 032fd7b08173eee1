#include "shell/appearance.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QWidget>

// Resources of a static library are not linked in unless something refers to their initialiser, and the
// macro must be used outside any namespace.
static void initShellResources() {
    Q_INIT_RESOURCE(lexivo);
}

namespace lexivo {

QFont programFont() {
    const QStringList families = QFontDatabase::families();
    QString family = QStringLiteral("Liberation Sans");
    if (!families.contains(family)) family = QStringLiteral("DejaVu Sans");
    QFont font(family);
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QIcon programIcon() {
    static const QIcon icon = [] {
        initShellResources();
        QIcon i;
        for (int size : {16, 32, 48, 64})
            i.addFile(QStringLiteral(":/icons/lexivo-%1.png").arg(size), QSize(size, size));
        return i;
    }();
    return icon;
}

QPixmap programPicture(int size) {
    return programIcon().pixmap(size, size);
}

QString frameStyleSheet() {
    return QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }");
}

void styleStatusLine(QLabel* status) {
    QFont bold = status->font();
    bold.setBold(true);
    status->setFont(bold);
    status->setAutoFillBackground(true);
    QPalette grey = status->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    status->setPalette(grey);
}

void centreOnScreen(QWidget& window, const QScreen* screen) {
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

}  // namespace lexivo
