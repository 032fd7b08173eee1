#include "shell/frm_import.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "common/dialogs.h"
#include "common/leading_number.h"
#include "common/paths.h"
#include "shell/appearance.h"
#include "shell/folder_chooser.h"
#include "shell/frm_main.h"
#include "shell/long_run.h"
#include "shell/results_model.h"
#include "shell/twips.h"
#include "store/current_database.h"
#include "store/engine.h"
#include "store/word_editing.h"
#include "store/write_access.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo {

namespace {

constexpr int kClientWidth = 7575;
constexpr int kClientHeight = 6420;

const QString kLengthTipMin = QStringLiteral("Do no import/export words with less than this number of letters");
const QString kLengthTipMax = QStringLiteral("Do no import/export words with more than this number of letters");

template <typename T>
T* Named(T* widget, const QString& name, int left, int top, int width, int height, const QString& tip = {}) {
    widget->setObjectName(name);
    setTwipsGeometry(widget, left, top, width, height);
    if (!tip.isEmpty()) widget->setToolTip(tip);
    return widget;
}

// The layout puts the first row of a frame 240 twips below its top: the frame's line runs through the middle of
// its caption, as the layout was drawn for, not below it, where the first row would sit on it.
const QString kFrameStyle = QStringLiteral(
    "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
    "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0 2px; }");

QGroupBox* Frame(const QString& caption, const QString& name, QWidget* parent, int left, int top, int width,
                 int height) {
    auto* frame = Named(new QGroupBox(caption, parent), name, left, top, width, height);
    frame->setStyleSheet(kFrameStyle);
    return frame;
}

// The captions were measured for a narrower font than those of this system. A box whose caption would be cut
// grows to the right, as far as the control beside it allows, and to the height its indicator needs.
void FitCaption(QAbstractButton* box, int rightLimitTwips) {
    const QSize needed = box->sizeHint();
    const int width = qMin(qMax(box->width(), needed.width()), pixels(rightLimitTwips) - box->x());
    box->resize(width, qMax(box->height(), pixels(255)));
}

QPushButton* Button(const QString& caption, const QString& name, QWidget* parent, int left, int top, int width,
                    int height, const QString& tip) {
    auto* button = Named(new QPushButton(caption, parent), name, left, top, width, height, tip);
    // No button is the window's default: Enter presses the button that has the focus and nothing else (see
    // keyPressEvent), so that Enter in a text box never starts a run or closes the window.
    button->setAutoDefault(false);
    return button;
}

}  // namespace

Frm_Import::Frm_Import(Connection& database, Dialogs& dialogs, std::function<QStringList()> selection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      database_(database),
      dialogs_(dialogs),
      selection_(std::move(selection)),
      startFolder_(QDir::currentPath()) {
    setObjectName(QStringLiteral("Frm_Import"));
    setWindowTitle(QStringLiteral("Lexivo Import/Export"));
    setModal(true);
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));

    buildControls();
    setKeyboardOrder();

    run_ = new LongRun({Cmd_Cancel, Status, ProgressBar1}, dialogs_, this);
    run_->onBegin([this] { updateEnabling(); });
    run_->onEnd([this] { updateEnabling(); });
    connect(run_, &LongRun::closeWindow, this, [this] { QDialog::reject(); });
    connectReactions();
    restoreDefaults();
}

Frm_Import::~Frm_Import() = default;

void Frm_Import::buildControls() {
    buildFileChooser();

    ProgressBar1 = Named(new QProgressBar(this), QStringLiteral("ProgressBar1"), 120, 3240, 7335, 255);
    ProgressBar1->setTextVisible(false);

    Frame1 = Frame(QStringLiteral("Import/Export"), QStringLiteral("Frame1"), this, 120, 3600, 2055, 975);
    Opt_Import = Named(new QRadioButton(QStringLiteral("&Import from text file"), Frame1), QStringLiteral("Opt_Import"),
                       120, 240, 1815, 255, QStringLiteral("Import words into the database from a text file."));
    Option1 = Named(new QRadioButton(QStringLiteral("&Export to text file"), Frame1), QStringLiteral("Option1"), 120,
                    600, 1815, 255, QStringLiteral("Export words from the database to a text file."));

    buildFilters();

    Status = Named(new QLabel(this), QStringLiteral("Status"), 120, 5880, 7335, 375);
    Status->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Status->setIndent(4);
    styleStatusLine(Status);

    Cmd_OK = Button(QStringLiteral("Import"), QStringLiteral("Cmd_OK"), this, 6240, 240, 1215, 495,
                    QStringLiteral("Begin import/export process."));
    Cmd_Cancel = Button(QStringLiteral("&Close"), QStringLiteral("Cmd_Cancel"), this, 6240, 960, 1215, 375,
                        QStringLiteral("Close import/export window"));
    Cmd_Clear = Button(QStringLiteral("Clear"), QStringLiteral("Cmd_Clear"), this, 6240, 2760, 1215, 375,
                       QStringLiteral("Clear all words from database"));
}

void Frm_Import::buildFileChooser() {
    Frame3 = Frame(QStringLiteral("Select file"), QStringLiteral("Frame3"), this, 120, 120, 5895, 3015);
    Drive1 = Named(new QComboBox(Frame3), QStringLiteral("Drive1"), 120, 240, 2295, 315);
    Dir1 = Named(new QListWidget(Frame3), QStringLiteral("Dir1"), 120, 720, 2295, 2115);
    // A long folder name shows its end, the part that tells folders apart.
    Dir1->setTextElideMode(Qt::ElideLeft);
    Dir1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Dir1->setIconSize(QSize(16, 16));
    File1 = Named(new QListWidget(Frame3), QStringLiteral("File1"), 2520, 240, 3255, 1845,
                  QStringLiteral("Select a text file to import/export"));
    Txt_Filename = Named(new QLineEdit(Frame3), QStringLiteral("Txt_Filename"), 2520, 2160, 3255, 285,
                         QStringLiteral("Enter the filename of the text file to import/export"));
    Cmb_Filter = Named(new QComboBox(Frame3), QStringLiteral("Cmb_Filter"), 2520, 2520, 3255, 315,
                       QStringLiteral("Select files of type..."));
    Cmb_Filter->setEditable(true);
    Cmb_Filter->setInsertPolicy(QComboBox::NoInsert);
    chooser_ = new FolderChooser(Drive1, Dir1, File1, this);
}

void Frm_Import::buildFilters() {
    Frame2 = Frame(QStringLiteral("Word length filter"), QStringLiteral("Frame2"), this, 2280, 3600, 5175, 975);
    // The spaces in the captions leave room for the number boxes that lie over them.
    Chk_Min = Named(
        new QCheckBox(QStringLiteral("Do not include words with less than                      letter(s)"), Frame2),
        QStringLiteral("Chk_Min"), 120, 240, 4575, 255, kLengthTipMin);
    Txt_Min = Named(new QLineEdit(Frame2), QStringLiteral("Txt_Min"), 3120, 240, 615, 285, kLengthTipMin);
    Chk_Max =
        Named(new QCheckBox(QStringLiteral("Do not include words with more than                    letter(s)"), Frame2),
              QStringLiteral("Chk_Max"), 120, 600, 4575, 255, kLengthTipMax);
    Txt_Max = Named(new QLineEdit(Frame2), QStringLiteral("Txt_Max"), 3120, 600, 615, 285, kLengthTipMax);

    Frame4 = Frame(QStringLiteral("Options"), QStringLiteral("Frame4"), this, 120, 4680, 7335, 1095);
    Chk_Append =
        Named(new QCheckBox(QStringLiteral("&Append words to existing list"), Frame4), QStringLiteral("Chk_Append"),
              120, 240, 2295, 255, QStringLiteral("Keep existing words and add these"));
    Chk_Export =
        Named(new QCheckBox(QStringLiteral("Export current selection only"), Frame4), QStringLiteral("Chk_Export"), 120,
              600, 2295, 255,
              QStringLiteral("Exports only the words found in the last search. Ie those words currently displayed."));
    Chk_Ignore =
        Named(new QCheckBox(QStringLiteral("Do not include words containing:"), Frame4), QStringLiteral("Chk_Ignore"),
              2760, 240, 2655, 195, QStringLiteral("Do not import/export words containing these characters"));
    Txt_Ignore = Named(new QLineEdit(Frame4), QStringLiteral("Txt_Ignore"), 5520, 240, 1335, 285);
    Chk_Remove =
        Named(new QCheckBox(QStringLiteral("Remove these characters:"), Frame4), QStringLiteral("Chk_Remove"), 2760,
              600, 2655, 195, QStringLiteral("Remove these characters from any words that contain them"));
    Txt_Remove = Named(new QLineEdit(Frame4), QStringLiteral("Txt_Remove"), 5520, 600, 1335, 285);
    FitCaption(Chk_Append, 2700);
    FitCaption(Chk_Export, 2700);
    FitCaption(Chk_Ignore, 5520);
    FitCaption(Chk_Remove, 5520);
}

void Frm_Import::setKeyboardOrder() {
    QWidget* const order[] = {Cmd_OK,     Opt_Import, Option1,    Drive1,     Dir1,       File1,        Cmb_Filter,
                              Cmd_Cancel, Txt_Min,    Txt_Max,    Chk_Min,    Chk_Max,    Txt_Filename, Chk_Append,
                              Chk_Ignore, Txt_Ignore, Chk_Remove, Txt_Remove, Chk_Export, Cmd_Clear};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void Frm_Import::connectReactions() {
    connect(chooser_, &FolderChooser::fileChosen, Txt_Filename, &QLineEdit::setText);
    // A pattern the file list cannot use is ignored without a word.
    connect(Cmb_Filter, &QComboBox::currentTextChanged, chooser_, &FolderChooser::setPattern);
    connect(Opt_Import, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Cmd_OK->setText(QStringLiteral("Import"));
    });
    connect(Option1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) Cmd_OK->setText(QStringLiteral("Export"));
    });
    // Typing into a filter box switches its filter on; nothing switches one off but the user.
    const std::pair<QLineEdit*, QCheckBox*> filters[] = {
        {Txt_Min, Chk_Min}, {Txt_Max, Chk_Max}, {Txt_Ignore, Chk_Ignore}, {Txt_Remove, Chk_Remove}};
    for (const auto& [box, check] : filters)
        connect(box, &QLineEdit::textChanged, check, [check = check] { check->setChecked(true); });
    connect(Cmd_OK, &QPushButton::clicked, this, &Frm_Import::onOk);
    connect(Cmd_Clear, &QPushButton::clicked, this, &Frm_Import::onClear);
}

void Frm_Import::restoreDefaults() {
    // Nothing is kept between openings; the boxes are set without the reactions that typing would cause.
    const QSignalBlocker blockMin(Txt_Min), blockMax(Txt_Max), blockIgnore(Txt_Ignore), blockRemove(Txt_Remove),
        blockFilter(Cmb_Filter);
    Txt_Filename->clear();
    Cmb_Filter->clear();
    Cmb_Filter->addItems({QStringLiteral("*.*"), QStringLiteral("*.txt")});
    Cmb_Filter->setCurrentIndex(1);
    chooser_->setPattern(Cmb_Filter->currentText());
    chooser_->setFolder(startFolder_);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    Opt_Import->setChecked(true);
    Cmd_OK->setText(QStringLiteral("Import"));
    Txt_Min->setText(QStringLiteral("1"));
    Txt_Max->setText(QStringLiteral("25"));
    Txt_Ignore->clear();
    Txt_Remove->clear();
    for (QCheckBox* box : {Chk_Min, Chk_Max, Chk_Append, Chk_Export, Chk_Ignore, Chk_Remove}) box->setChecked(false);
    Status->clear();
    Cmd_Cancel->setText(QStringLiteral("&Close"));
    updateEnabling();
    Cmd_OK->setFocus();
}

void Frm_Import::updateEnabling() {
    // One run at a time, and the database stays as it is while a run reads or fills it.
    const bool idle = !run_->active();
    Cmd_OK->setEnabled(idle);
    Cmd_Clear->setEnabled(idle);
}

QString Frm_Import::folder() const {
    return chooser_->folder();
}

void Frm_Import::setFolder(const QString& path) {
    chooser_->setFolder(path);
}

void Frm_Import::setStartFolder(const QString& path) {
    startFolder_ = path;
    chooser_->setFolder(path);
}

WordFilter Frm_Import::wordFilter() const {
    WordFilter filter;
    filter.minimumOn = Chk_Min->isChecked();
    filter.minimum = LeadingNumber(Txt_Min->text());
    filter.maximumOn = Chk_Max->isChecked();
    filter.maximum = LeadingNumber(Txt_Max->text());
    filter.ignoreOn = Chk_Ignore->isChecked();
    filter.ignore = Txt_Ignore->text();
    filter.removeOn = Chk_Remove->isChecked();
    filter.remove = Txt_Remove->text();
    return filter;
}

RunControl& Frm_Import::run() {
    return *run_;
}

bool Frm_Import::runActive() const {
    return run_->active();
}

void Frm_Import::onOk() {
    if (run_->active()) return;
    Cmd_Cancel->setText(QStringLiteral("&Cancel"));
    QString name = Txt_Filename->text();
    if (!name.contains(QLatin1Char('.'))) {
        name += QStringLiteral(".txt");
        Txt_Filename->setText(name);
    }
    QString path = chooser_->folder();
    if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
    path += name;

    const bool append = Chk_Append->isChecked();
    const auto filter = [this] { return wordFilter(); };
    if (Opt_Import->isChecked()) {
        if (!FileExists(path)) {
            dialogs_.notice(QStringLiteral("File not found!"));
        } else if (append || dialogs_.question(QStringLiteral("All existing words will be replaced."),
                                               QStringLiteral("Continue with import?"), Dialogs::DefaultButton::No)) {
            ImportWords(database_, path, append, filter, *run_, dialogs_);
        }
    } else if (!FileExists(path) ||
               dialogs_.question(QStringLiteral("Overwrite ") + path, kProgramTitle, Dialogs::DefaultButton::No)) {
        if (Chk_Export->isChecked())
            ExportSelection(selection_ ? selection_() : QStringList(), path, append, filter, *run_, dialogs_);
        else
            ExportWords(database_, path, append, filter, *run_, dialogs_);
    }
    // A file just written shows up in the list.
    chooser_->refresh();
    Cmd_Cancel->setText(QStringLiteral("&Close"));
}

void Frm_Import::onClear() {
    if (run_->active()) return;
    // Refused before the question: no answer could make a database that cannot be written empty.
    if (const QString problem = WriteProblem(database_); !problem.isEmpty()) {
        dialogs_.failure(QStringLiteral("The words could not be removed: ") + problem);
        return;
    }
    if (!dialogs_.question(QStringLiteral("Are you sure you want to remove all words from the database?"),
                           kProgramTitle, Dialogs::DefaultButton::No))
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ClearWords(database_, dialogs_);
    QApplication::restoreOverrideCursor();
}

void Frm_Import::reject() {
    if (!run_->windowMayClose()) return;
    QDialog::reject();
}

void Frm_Import::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (event->key()) {
            case Qt::Key_Escape:
                // Esc is the close button: it closes when idle and asks "Abort?" during a run.
                Cmd_Cancel->click();
                event->accept();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
                    button->click();
                event->accept();
                return;
            default:
                break;
        }
    }
    QDialog::keyPressEvent(event);
}

void Frm_Import::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        restoreDefaults();
        centreOnScreen(*this, parentWidget() ? parentWidget()->screen() : nullptr);
    }
    QDialog::showEvent(event);
}

void ShowImportExport(Frm_Main& main) {
    if (main.runActive() || !main.database().loaded()) return;
    ResultsModel& results = main.results();
    Connection& database = main.database().CurrentDatabase;
    const auto count = [&database]() -> qint64 {
        try {
            return WordCount(database);
        } catch (const Error&) {
            return -1;
        }
    };
    const qint64 before = count();
    Frm_Import window(
        database, main.dialogs(), [&results] { return results.words(); }, &main);
    window.exec();
    // The main window is left as it was, but for a word count that the import or the clear has made wrong.
    if (const qint64 after = count(); after >= 0 && after != before)
        main.setStatus(QString::number(after) + QStringLiteral(" words."));
}

}  // namespace lexivo
