#include "shell/frm_main.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "common/dialogs.h"
#include "shell/appearance.h"
#include "shell/edit_commands.h"
#include "shell/frm_import.h"
#include "shell/help_commands.h"
#include "shell/lexicon_commands.h"
#include "shell/long_run.h"
#include "shell/maintenance_commands.h"
#include "shell/results_commands.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_command.h"
#include "shell/search_panel.h"
#include "shell/twips.h"

namespace lexivo {

namespace {

// The client area the window is drawn up for; it can only grow wider.
constexpr int kClientWidth = 7545;
// The design's 6105, and a row below it for the options the design has no room for.
constexpr int kClientHeight = 6465;
// The results frame and list keep their distance to the window's right edge.
constexpr int kListMargin = 3600;
constexpr int kFrameMargin = 3100;

QAction* namedAction(QMenu* menu, const QString& caption, const QString& name) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

QAction* namedSeparator(QMenu* menu, const QString& name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(name);
    return separator;
}

}  // namespace

Frm_Main::Frm_Main(Dialogs& dialogs, const QString& settingsFolder, const StartUpFiles& start, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      settings_(settingsFolder) {
    setObjectName(QStringLiteral("Frm_Main"));
    setWindowTitle(kProgramTitle);
    setWindowIcon(programIcon());
    setFont(programFont());
    // Menus and message boxes are windows of their own; they should speak in the same font.
    setAttribute(Qt::WA_WindowPropagation);

    results_ = new ResultsModel(this);
    buildControls();
    centralWidget()->setStyleSheet(frameStyleSheet());
    buildMenus();
    setKeyboardOrder();
    fitToDesign();

    run_ = new LongRun({Cmd_Close, Status, ProgressBar1}, dialogs_, this);
    run_->onBegin([this] { updateEnabling(); });
    run_->onEnd([this] { updateEnabling(); });
    connect(run_, &LongRun::closeWindow, this, &QWidget::close);
    connect(Fme_Search->Cmd_Search, &QPushButton::clicked, this, [this] { onSearchClicked(); });
    connect(File_Exit, &QAction::triggered, this, &QWidget::close);
    connect(Mnu_File_New, &QAction::triggered, this, &Frm_Main::newDatabase);
    connect(Mnu_File_Open, &QAction::triggered, this, &Frm_Main::openDatabase);
    connect(Mnu_File_Close, &QAction::triggered, this, &Frm_Main::closeDatabase);
    connect(Mnu_File_Import, &QAction::triggered, this, [this] { ShowImportExport(*this); });
    InstallResultsCommands(*this);
    InstallEditCommands(*this);
    InstallMaintenanceCommands(*this);
    InstallHelpCommands(*this);
    InstallLexiconCommands(*this);

    startUp(start);
    // The first keys go to the input box: a first Enter searches, it does not end the program. Without a database
    // the panel is disabled, and the focus stays where the tab order starts.
    if (Fme_Search->Text1->isEnabled())
        Fme_Search->Text1->setFocus();
    else
        Cmd_Close->setFocus();
}

Frm_Main::~Frm_Main() = default;

void Frm_Main::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    Fme_Search = new SearchPanel(client);
    setTwipsGeometry(Fme_Search, 120, 120, 2655, 4695);

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    setTwipsGeometry(ProgressBar1, 120, 4920, 2655, 255);

    Status = new QLabel(client);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setAlignment(Qt::AlignCenter);
    styleStatusLine(Status);
    setTwipsGeometry(Status, 120, 5280, 2655, 255);

    Cmd_Close = new QPushButton(QStringLiteral("&Close"), client);
    Cmd_Close->setObjectName(QStringLiteral("Cmd_Close"));
    Cmd_Close->setToolTip(QStringLiteral("Exit Program"));
    // A focused button takes Enter itself, as buttons do in dialogs.
    Cmd_Close->setAutoDefault(true);
    setTwipsGeometry(Cmd_Close, 120, 5640, 2655, 375);

    Frame2 = new QGroupBox(QStringLiteral("Search results"), client);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    setTwipsGeometry(Frame2, 3000, 120, 4335, 5895);

    List1 = new ResultsList(Frame2);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setModel(results_);
    setTwipsGeometry(List1, 240, 360, 3855, 5070);
    List1->viewport()->installEventFilter(this);

    Label1 = new QLabel(QStringLiteral("Columns"), Frame2);
    Label1->setObjectName(QStringLiteral("Label1"));
    setTwipsGeometry(Label1, 240, 5520, 855, 255);

    for (int i = 0; i < 5; ++i) {
        auto* button = new QRadioButton(QString::number(i + 1), Frame2);
        button->setObjectName(QStringLiteral("Opt_Columns_%1").arg(i));
        setTwipsGeometry(button, 1200 + i * 600, 5520, 495, 255);
        Opt_Columns[static_cast<size_t>(i)] = button;
    }
    Opt_Columns[2]->setChecked(true);

    // The options row under the search panel, below every control of the original layout.
    auto optionBox = [client](const QString& caption, const QString& name, const QString& tip, int left, int width) {
        auto* box = new QCheckBox(caption, client);
        box->setObjectName(name);
        box->setToolTip(tip);
        setTwipsGeometry(box, left, 6120, width, 255);
        return box;
    };
    Chk_Accents = optionBox(QStringLiteral("I&gnore accents"), QStringLiteral("Chk_Accents"),
                            QStringLiteral("Compare letters by their base letters in every letter search: ETE finds "
                                           "\"été\", n finds \"ñ\", ss finds \"ß\". The word database is not changed."),
                            120, 2655);
    Chk_Rank = optionBox(QStringLiteral("Best guess f&irst (Wordle)"), QStringLiteral("Chk_Rank"),
                         QStringLiteral("List Wordle's words by the information each gives as the next guess: the "
                                        "most expected information first, then the smallest worst case; otherwise "
                                        "in word order"),
                         3120, 3000);
    Chk_Rank->setEnabled(false);
    connect(Fme_Search, &SearchPanel::modeSelected, this, [this](int mode) {
        const SearchModeRow* row = SearchModeRowOfButton(mode);
        Chk_Rank->setEnabled(row && row->ranks);
    });
}

void Frm_Main::buildMenus() {
    File = menuBar()->addMenu(QStringLiteral("&File"));
    File->setObjectName(QStringLiteral("File"));
    Mnu_File_New = namedAction(File, QStringLiteral("&New"), QStringLiteral("Mnu_File_New"));
    Mnu_File_Open = namedAction(File, QStringLiteral("&Open"), QStringLiteral("Mnu_File_Open"));
    Mnu_File_Close = namedAction(File, QStringLiteral("&Close"), QStringLiteral("Mnu_File_Close"));
    Mnu_Sep3 = namedSeparator(File, QStringLiteral("Mnu_Sep3"));
    Mnu_File_Import = namedAction(File, QStringLiteral("&Import/Export"), QStringLiteral("Mnu_File_Import"));
    Mnu_File_Check = namedAction(File, QStringLiteral("Check Database"), QStringLiteral("Mnu_File_Check"));
    Mnu_File_Rebuild = namedAction(File, QStringLiteral("Complete Rebuild"), QStringLiteral("Mnu_File_Rebuild"));
    Mnu_File_QuickRebuild =
        namedAction(File, QStringLiteral("&Quick Re-build"), QStringLiteral("Mnu_File_QuickRebuild"));
    Mnu_File_Compact = namedAction(File, QStringLiteral("Compact Database"), QStringLiteral("Mnu_File_Compact"));
    Mnu_Sep1 = namedSeparator(File, QStringLiteral("Mnu_Sep1"));
    File_Exit = namedAction(File, QStringLiteral("E&xit"), QStringLiteral("File_Exit"));

    Mnu_Edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    Mnu_Edit->setObjectName(QStringLiteral("Mnu_Edit"));
    Mnu_Edit_Copy = namedAction(Mnu_Edit, QStringLiteral("&Copy"), QStringLiteral("Mnu_Edit_Copy"));
    Mnu_SelectAll = namedAction(Mnu_Edit, QStringLiteral("&Select all"), QStringLiteral("Mnu_SelectAll"));
    Mnu_Sep2 = namedSeparator(Mnu_Edit, QStringLiteral("Mnu_Sep2"));
    Mnu_Edit_Add = namedAction(Mnu_Edit, QStringLiteral("&Add"), QStringLiteral("Mnu_Edit_Add"));
    Mnu_Edit_Delete[0] = namedAction(Mnu_Edit, QStringLiteral("&Delete"), QStringLiteral("Mnu_Edit_Delete_0"));
    Mnu_Edit_Delete[1] = namedAction(Mnu_Edit, QStringLiteral("Delete selected"), QStringLiteral("Mnu_Edit_Delete_1"));

    Mnu_Help = menuBar()->addMenu(QStringLiteral("&Help"));
    Mnu_Help->setObjectName(QStringLiteral("Mnu_Help"));
    Mnu_Help_About = namedAction(Mnu_Help, QStringLiteral("&About"), QStringLiteral("Mnu_Help_About"));
    Mnu_Help_Contents = namedAction(Mnu_Help, QStringLiteral("&Contents"), QStringLiteral("Mnu_Help_Contents"));
    Mnu_Help_WebSite = namedAction(Mnu_Help, QStringLiteral("&Web Site"), QStringLiteral("Mnu_Help_WebSite"));
}

void Frm_Main::setKeyboardOrder() {
    const SearchPanel& p = *Fme_Search;
    // The picture takes no focus; it keeps its place in the chain all the same.
    QWidget* const order[] = {
        Cmd_Close,
        List1,
        p.Opt_Search[0],
        p.Opt_Search[1],
        p.Opt_Search[2],
        p.Opt_Search[3],
        p.Cmd_Search,
        p.Cmb_Letters[0],
        p.Opt_Search[4],
        p.Opt_Search[5],
        p.Text1,
        Opt_Columns[0],
        Opt_Columns[1],
        Opt_Columns[2],
        Opt_Columns[3],
        Opt_Columns[4],
        p.Picture1,
        p.Cmb_Letters[1],
        p.Opt_Search[6],
        p.Chk_Sort,
        // The word games' buttons came later than the rest of the window.
        p.Opt_Search[7],
        p.Opt_Search[8],
        p.Opt_Search[9],
        p.Opt_Search[10],
        Chk_Accents,
        Chk_Rank,
    };
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void Frm_Main::fitToDesign() {
    const int height = menuBar()->sizeHint().height() + pixels(kClientHeight);
    setMinimumWidth(pixels(kClientWidth));
    setFixedHeight(height);
    resize(pixels(kClientWidth), height);
    fitResultsToWidth();
}

void Frm_Main::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (!isMinimized()) fitResultsToWidth();
}

void Frm_Main::fitResultsToWidth() {
    // Only the results grow with the width; the left column keeps its design geometry.
    const int inner = twips(width());
    List1->resize(pixels(inner - kListMargin), List1->height());
    Frame2->resize(pixels(inner - kFrameMargin), Frame2->height());
}

void Frm_Main::showCentred() {
    centreOnScreen(*this, screen());
    show();
}

RunControl& Frm_Main::run() {
    return *run_;
}

bool Frm_Main::runActive() const {
    return run_->active();
}

void Frm_Main::onSearchClicked() {
    RunSearch(*this);
}

void Frm_Main::showDatabaseLoaded(const QString& fileName) {
    databaseLoaded_ = true;
    databaseCaption_ = fileName;
    updateEnabling();
}

void Frm_Main::showNoDatabase() {
    databaseLoaded_ = false;
    databaseCaption_.clear();
    updateEnabling();
}

void Frm_Main::setStatus(const QString& text) {
    run_->setStatus(text);
}

void Frm_Main::showProgress(const QString& text) {
    // A long step of loading (converting a file to the word order): the window shows it and stays painted,
    // while input waits until the database is loaded.
    showWindow();
    setStatus(text);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Frm_Main::showWindow() {
    if (!isVisible()) showCentred();
}

void Frm_Main::updateEnabling() {
    // While a run is active nothing that starts another run or touches the database may be used; File >
    // Exit stays, and closing stops the run first.
    const bool running = runActive();
    const bool usable = databaseLoaded_ && !running;
    Fme_Search->setTitle(databaseLoaded_ ? databaseCaption_ : QStringLiteral("(No Database Loaded)"));
    Fme_Search->setEnabled(usable);
    for (QAction* action :
         {Mnu_File_Close, Mnu_File_Import, Mnu_File_Check, Mnu_File_Rebuild, Mnu_File_QuickRebuild, Mnu_File_Compact})
        action->setEnabled(usable);
    Mnu_File_New->setEnabled(!running);
    Mnu_File_Open->setEnabled(!running);
    Mnu_Edit->setEnabled(usable);
    Mnu_Edit->menuAction()->setEnabled(usable);
    for (QAction* action : Mnu_Edit->actions()) action->setEnabled(usable);
}

void Frm_Main::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took starts a search, as a dialog's default button would; the buttons take
    // Enter themselves.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (Fme_Search->Cmd_Search->isEnabled()) Fme_Search->Cmd_Search->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool Frm_Main::eventFilter(QObject* watched, QEvent* event) {
    // The Edit menu is the results list's pop-up menu, on a press of the right button; the press does not
    // change the selection the menu's commands work on.
    if (watched == List1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (Mnu_Edit->isEnabled()) Mnu_Edit->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Frm_Main::closeEvent(QCloseEvent* event) {
    if (abandoned_) {
        event->accept();
        return;
    }
    if (!run_->windowMayClose()) {
        // The run stops at its next record and the window closes after it has ended.
        event->ignore();
        return;
    }
    shutDown();
    event->accept();
}

}  // namespace lexivo
