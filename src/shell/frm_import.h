#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "wordlists/word_filter.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace lexivo {

class Connection;
class Dialogs;
class FolderChooser;
class Frm_Main;
class LongRun;
class RunControl;

// The Import/Export window: fills the word database from a word list file, or writes the database or the
// results of the last search to one, with the word length and character filters. The runs show their progress
// here and stop through this window's own close button.
class Frm_Import : public QDialog {
    Q_OBJECT
public:
    // selection gives the words the main window's results list shows, in its order.
    Frm_Import(Connection& database, Dialogs& dialogs, std::function<QStringList()> selection,
               QWidget* parent = nullptr);
    ~Frm_Import() override;

    // Controls.
    QGroupBox* Frame3;
    QComboBox* Drive1;
    QListWidget* Dir1;
    QListWidget* File1;
    QLineEdit* Txt_Filename;
    QComboBox* Cmb_Filter;
    QProgressBar* ProgressBar1;
    QGroupBox* Frame1;
    QRadioButton* Opt_Import;
    QRadioButton* Option1;
    QGroupBox* Frame2;
    QCheckBox* Chk_Min;
    QLineEdit* Txt_Min;
    QCheckBox* Chk_Max;
    QLineEdit* Txt_Max;
    QGroupBox* Frame4;
    QCheckBox* Chk_Append;
    QCheckBox* Chk_Export;
    QCheckBox* Chk_Ignore;
    QLineEdit* Txt_Ignore;
    QCheckBox* Chk_Remove;
    QLineEdit* Txt_Remove;
    QLabel* Status;
    QPushButton* Cmd_OK;
    QPushButton* Cmd_Cancel;
    QPushButton* Cmd_Clear;

    // The folder whose files File1 lists; the names in Txt_Filename are taken relative to it.
    QString folder() const;
    void setFolder(const QString& path);
    // Where the chooser opens every time the window is shown: the current folder unless set.
    void setStartFolder(const QString& path);

    // The word filter as the boxes set it now.
    WordFilter wordFilter() const;
    RunControl& run();
    bool runActive() const;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    // The title bar's close control ends up here: idle, the window closes; during a run the run is stopped
    // (no question asked) and the window closes once it has ended.
    void reject() override;

private:
    void buildControls();
    void buildFileChooser();
    void buildFilters();
    void setKeyboardOrder();
    void connectReactions();
    void restoreDefaults();
    void updateEnabling();

    // The OK action: checks, questions, the run, and the folder read again.
    void onOk();
    // Removes every word from the database after the question.
    void onClear();

    Connection& database_;
    Dialogs& dialogs_;
    std::function<QStringList()> selection_;
    FolderChooser* chooser_ = nullptr;
    LongRun* run_ = nullptr;
    QString startFolder_;
};

// Opens the Import/Export window modally over the main window (the File menu's "&Import/Export"). Nothing
// happens while a run is active in the main window or no word database is loaded.
void ShowImportExport(Frm_Main& main);

}  // namespace lexivo
