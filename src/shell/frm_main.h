#pragma once

#include <QMainWindow>
#include <array>

#include "common/settings_file.h"
#include "search/search_session.h"
#include "store/current_database.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace lexivo {

class Dialogs;
class LongRun;
class ResultsList;
class ResultsModel;
class RunControl;
class SearchPanel;

// Word databases named when the program is started.
struct StartUpFiles {
    QString file;      // loaded at start-up as File Open loads it, with the same messages
    QString fallback;  // loaded when no file is named and the settings file names none that exists
};

// The main window: the search panel, the progress and status lines and the close button on the left, the
// results on the right, and the menus. It shows the state of the current word database and carries the
// program's start-up and shutdown.
class Frm_Main : public QMainWindow, public DatabaseView {
    Q_OBJECT
public:
    // settingsFolder: where "lexivo.ini" lives, normally the program's folder. The start-up sequence runs
    // here, so the window is ready (or abandoned()) when the constructor returns.
    Frm_Main(Dialogs& dialogs, const QString& settingsFolder, const StartUpFiles& start = {},
             QWidget* parent = nullptr);
    ~Frm_Main() override;

    // Controls.
    SearchPanel* Fme_Search;
    QProgressBar* ProgressBar1;
    QLabel* Status;
    QPushButton* Cmd_Close;
    QGroupBox* Frame2;
    ResultsList* List1;
    QLabel* Label1;
    std::array<QRadioButton*, 5> Opt_Columns;
    // Below the design's controls: letters compared without accents in every letter search, and Wordle's words
    // ranked by the information each gives as the next guess.
    QCheckBox* Chk_Accents;
    QCheckBox* Chk_Rank;

    // Menus.
    QMenu* File;
    QAction* Mnu_File_New;
    QAction* Mnu_File_Open;
    QAction* Mnu_File_Close;
    QAction* Mnu_Sep3;
    QAction* Mnu_File_Import;
    QAction* Mnu_File_Check;
    QAction* Mnu_File_Rebuild;
    QAction* Mnu_File_QuickRebuild;
    QAction* Mnu_File_Compact;
    QAction* Mnu_Sep1;
    QAction* File_Exit;
    QMenu* Mnu_Edit;
    QAction* Mnu_Edit_Copy;
    QAction* Mnu_SelectAll;
    QAction* Mnu_Sep2;
    QAction* Mnu_Edit_Add;
    std::array<QAction*, 2> Mnu_Edit_Delete;
    QMenu* Mnu_Help;
    QAction* Mnu_Help_About;
    QAction* Mnu_Help_Contents;
    QAction* Mnu_Help_WebSite;

    RunControl& run();
    LongRun& longRun() { return *run_; }
    bool runActive() const;
    ResultsModel& results() { return *results_; }
    DatabaseState& database() { return state_; }
    SearchSession& session() { return session_; }
    Dialogs& dialogs() { return dialogs_; }
    const SettingsFile& settings() const { return settings_; }

    // True when the user refused the change of a database's design: the program ends at once, and the
    // settings file is left as it was.
    bool abandoned() const { return abandoned_; }

    void showCentred();

    // The File menu's database commands.
    void newDatabase();
    void openDatabase();
    void closeDatabase();

    // DatabaseView
    void showDatabaseLoaded(const QString& fileName) override;
    void showNoDatabase() override;
    void setStatus(const QString& text) override;
    void showWindow() override;
    void showProgress(const QString& text) override;

protected:
    // The search command; the search driver takes it from here.
    virtual void onSearchClicked();

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void setKeyboardOrder();
    void fitToDesign();
    void fitResultsToWidth();
    void updateEnabling();

    void startUp(const StartUpFiles& start);
    // File Open's loading of a chosen file, also used for a file named on the command line.
    void openDatabaseFile(const QString& name);
    void shutDown();
    // Runs LoadDatabase and handles what it may throw; false when the program is abandoned.
    bool loadDatabase();
    void forgetDatabase();
    void abandon();

    Dialogs& dialogs_;
    SettingsFile settings_;
    SearchSession session_;  // the loaded database and the words read from it
    DatabaseState& state_ = session_.database();
    ResultsModel* results_;
    LongRun* run_;
    bool databaseLoaded_ = false;
    QString databaseCaption_;
    bool abandoned_ = false;
};

}  // namespace lexivo
