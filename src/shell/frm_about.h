#pragma once

#include <QDialog>
#include <QLabel>

class QPushButton;

namespace lexivo {

struct DatabaseState;

// A label that acts as a link: a click anywhere on it reports clicked().
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The About window: the program's name and version, a one-line summary of the loaded word database, and the
// links to the web page and the feedback address. Modal; every opening counts the words afresh.
class Frm_About : public QDialog {
    Q_OBJECT
public:
    explicit Frm_About(DatabaseState& state, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Lbl_Version;
    QLabel* Lbl_Stats;
    LinkLabel* Lbl_WWW;
    LinkLabel* Lbl_Email;
    QPushButton* Cmd_OK;

    // The major version as it is, the minor as at least two digits, the revision as at least four: 1.00.0037.
    static QString VersionText(int major, int minor, int revision);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace lexivo
