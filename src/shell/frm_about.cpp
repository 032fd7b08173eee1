#include "shell/frm_about.h"

#include <QMouseEvent>
#include <QPushButton>

#include "common/dialogs.h"
#include "shell/appearance.h"
#include "shell/contact.h"
#include "shell/twips.h"
#include "store/current_database.h"
#include "store/statistics.h"

namespace lexivo {

namespace {

constexpr int kClientWidth = 6360;
constexpr int kClientHeight = 4620;

QLabel* centredLabel(QLabel* label, const QString& name, int left, int top, int width, int height) {
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    setTwipsGeometry(label, left, top, width, height);
    return label;
}

QFont programFontOf(int pointSize, bool bold, bool underline = false) {
    QFont font = programFont();
    if (pointSize > 0) font.setPointSize(pointSize);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

LinkLabel* linkLabel(QWidget* parent, const QString& text, const QString& name, int top, const QString& tip) {
    auto* label = new LinkLabel(text, parent);
    centredLabel(label, name, 120, top, 6135, 255);
    label->setFont(programFontOf(0, true, true));
    setTextColour(label, QColor(0, 0, 255));
    label->setCursor(Qt::PointingHandCursor);
    label->setToolTip(tip);
    return label;
}

}  // namespace

LinkLabel::LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

Frm_About::Frm_About(DatabaseState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("Frm_About"));
    setWindowTitle(kProgramTitle);
    setModal(true);
    setFont(programFont());
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));

    Label1 = centredLabel(new QLabel(QStringLiteral("Lexivo"), this), QStringLiteral("Label1"), 120, 120, 6015, 735);
    Label1->setFont(programFontOf(36, true));
    setTextColour(Label1, QColor(0, 128, 0));

    Lbl_Version = centredLabel(new QLabel(this), QStringLiteral("Lbl_Version"), 120, 1080, 6135, 615);
    Lbl_Version->setFont(programFontOf(18, true));

    Lbl_Stats = centredLabel(new QLabel(QStringLiteral("Database statistics"), this), QStringLiteral("Lbl_Stats"), 120,
                             1800, 6135, 615);
    Lbl_Stats->setFont(programFontOf(0, true));
    Lbl_Stats->setWordWrap(true);

    Lbl_WWW =
        linkLabel(this, kWebAddress, QStringLiteral("Lbl_WWW"), 3240, QStringLiteral("Click to visit our web site"));
    Lbl_Email =
        linkLabel(this, kEmailAddress, QStringLiteral("Lbl_Email"), 3600, QStringLiteral("Click to send us an email"));
    connect(Lbl_WWW, &LinkLabel::clicked, this, [] { OpenLink(kWebAddress); });
    connect(Lbl_Email, &LinkLabel::clicked, this, [] { OpenLink(QStringLiteral("mailto:") + kEmailAddress); });

    Cmd_OK = new QPushButton(QStringLiteral("&OK"), this);
    Cmd_OK->setObjectName(QStringLiteral("Cmd_OK"));
    Cmd_OK->setDefault(true);
    setTwipsGeometry(Cmd_OK, 2280, 3960, 1815, 495);
    connect(Cmd_OK, &QPushButton::clicked, this, &QDialog::accept);

    // The project's version, as CMake's project() gives it.
    Lbl_Version->setText(VersionText(LEXIVO_VERSION_MAJOR, LEXIVO_VERSION_MINOR, LEXIVO_VERSION_PATCH));
    try {
        Lbl_Stats->setText(StatisticsText(state));
    } catch (const Error& e) {
        Lbl_Stats->setText(QStringLiteral("The words could not be counted: ") + e.message());
    }
}

QString Frm_About::VersionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

void Frm_About::showEvent(QShowEvent* event) {
    // Centred on the screen, not on the main window.
    centreOnScreen(*this, screen());
    QDialog::showEvent(event);
}

}  // namespace lexivo
