#include "shell/search_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "common/leading_number.h"
#include "shell/appearance.h"
#include "shell/twips.h"

namespace lexivo {

namespace {

struct ModeButton {
    int index;
    const char* caption;
    const char* toolTip;
    int left;
    int top;
    int width;
};

// In the order they stand in the panel, which is not the order of their indexes.
constexpr ModeButton kModeButtons[] = {
    {SearchPanel::Anagram, "&Anagram", "Find words made from the same letters and the same number of each letter", 120,
     600, 1095},
    // Narrowed to where the phrase button begins.
    {SearchPanel::Synogram, "&Synogram",
     "Find words containing only the same letters but using any number of those letters", 120, 960, 1200},
    {SearchPanel::Palindrome, "&Palindrome", "Find words that can be reversed to form other words", 120, 1320, 2415},
    {SearchPanel::Letters, "&Letters in a word", "Find words containg the given letters.", 120, 1680, 1815},
    {SearchPanel::Mask, "&Fixed mask", "Find words matching a given mask such as c??e, c@@k, c##k", 120, 2040, 1455},
    {SearchPanel::Add, "Add", "Look for a specific word in the database, if it's not there add it.", 120, 2640, 855},
    {SearchPanel::Delete, "Delete", "Look for a specific word in the database then delete it.", 120, 2940, 1095},
    // K and R: the only letters of the two words that no menu title or other control of the window uses.
    {SearchPanel::Rack, "Rac&k", "Find words that can be laid from the given tiles; a ? is a blank tile for any letter",
     1320, 600, 1215},
    {SearchPanel::Phrase, "Ph&rase", "Find phrases of one to three words that use exactly the given letters", 1320, 960,
     1215},
    // Beside Add and Delete, the one free room of the panel.
    {SearchPanel::Wordle, "&Wordle",
     "Find words that fit Wordle feedback: each guess as GUESS:MARKS, g green, y yellow, . grey, such as "
     "crane:..y.g sloth:..y..",
     1320, 2640, 1215},
    {SearchPanel::Pattern, "Pat&tern",
     "Find words that fit a pattern: ? @ # * as in the mask, [sz] a set, 1-9 letters that repeat (??1221), "
     "<ra?e> an anagram, (3,5) word lengths, /regex",
     1320, 2940, 1215},
};

// Every mode the table gives a button has its place here.
static_assert(std::size(kModeButtons) == ModeButtonCount());

constexpr int kLongestWord = 50;

}  // namespace

SearchPanel::SearchPanel(QWidget* parent) : QGroupBox(QStringLiteral("Search for?"), parent) {
    setObjectName(QStringLiteral("Fme_Search"));

    Text1 = new QComboBox(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setEditable(true);
    // The search keeps the history itself, and nothing may complete or change what the user types.
    Text1->setInsertPolicy(QComboBox::NoInsert);
    Text1->setCompleter(nullptr);
    Text1->setDuplicatesEnabled(true);
    Text1->setMaxVisibleItems(12);
    setTwipsGeometry(Text1, 120, 240, 2415, 315);
    // The box has the focus and hands keys on to its line edit; both are watched for Enter.
    Text1->installEventFilter(this);
    Text1->lineEdit()->installEventFilter(this);

    modes_ = new QButtonGroup(this);
    for (const ModeButton& b : kModeButtons) {
        auto* button = new QRadioButton(QString::fromUtf8(b.caption), this);
        button->setObjectName(QStringLiteral("Opt_Search_%1").arg(b.index));
        button->setToolTip(QString::fromUtf8(b.toolTip));
        setTwipsGeometry(button, b.left, b.top, b.width, 255);
        modes_->addButton(button, b.index);
        Opt_Search[static_cast<size_t>(b.index)] = button;
    }
    Opt_Search[Anagram]->setChecked(true);

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setPixmap(programPicture(pixels(480)));
    Picture1->setAlignment(Qt::AlignCenter);
    setTwipsGeometry(Picture1, 1920, 2040, 480, 480);

    Line1 = new QFrame(this);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);
    Line1->setGeometry(pixels(120), pixels(2520) - 1, pixels(2520 - 120), 2);

    Label2 = new QLabel(QStringLiteral("Minimum"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTwipsGeometry(Label2, 120, 3240, 1215, 255);

    Label3 = new QLabel(QStringLiteral("Maximum"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTwipsGeometry(Label3, 1320, 3240, 1215, 255);

    for (int i : {Minimum, Maximum}) {
        auto* list = new QComboBox(this);
        list->setObjectName(QStringLiteral("Cmb_Letters_%1").arg(i));
        list->setMaxVisibleItems(12);
        setTwipsGeometry(list, 120 + i * 1200, 3480, 1215, 315);
        Cmb_Letters[static_cast<size_t>(i)] = list;
    }

    Chk_Sort = new QCheckBox(QStringLiteral("Sort by word length"), this);
    Chk_Sort->setObjectName(QStringLiteral("Chk_Sort"));
    setTwipsGeometry(Chk_Sort, 120, 3900, 2415, 255);

    Cmd_Search = new QPushButton(QStringLiteral("&Search"), this);
    Cmd_Search->setObjectName(QStringLiteral("Cmd_Search"));
    Cmd_Search->setDefault(true);
    Cmd_Search->setAutoDefault(true);
    setTwipsGeometry(Cmd_Search, 120, 4200, 2415, 375);

    connect(modes_, &QButtonGroup::idToggled, this, [this](int mode, bool checked) {
        if (checked) modeClicked(mode);
    });
    connect(Text1, &QComboBox::editTextChanged, this, [this] { applyInputChangeRules(); });
    // Picking an earlier input from the drop-down part is a change of the input like any other, so the
    // length lists follow it too (the same text picked again still resets them where typing would).
    connect(Text1, &QComboBox::activated, this, [this] { applyInputChangeRules(); });
    for (int i : {Minimum, Maximum})
        connect(Cmb_Letters[static_cast<size_t>(i)], &QComboBox::currentIndexChanged, this,
                [this, i] { lengthListClicked(i); });
}

void SearchPanel::fillLengthLists() {
    QStringList entries{QStringLiteral("(All words)")};
    for (int n = 2; n <= kLongestWord; ++n) entries << QStringLiteral("%1 letters").arg(n);
    for (QComboBox* list : Cmb_Letters) {
        const QSignalBlocker blocker(list);
        list->clear();
        list->addItems(entries);
        list->setCurrentIndex(0);
    }
    // Selecting entry 0 of the minimum list is a click on it: the lists are coupled from the start.
    lengthListClicked(Minimum);
}

int SearchPanel::selectedMode() const {
    return modes_->checkedId();
}

int SearchPanel::entryValue(const QString& entryText) {
    // The entries are whole numbers of letters.
    return static_cast<int>(LeadingNumber(entryText));
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the input box starts a search, as the default button would in a dialog. Handled here so that
    // the box's own Enter handling cannot replace the typed text by a history entry of another case.
    if ((watched == Text1 || watched == Text1->lineEdit()) && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Cmd_Search->click();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void SearchPanel::modeClicked(int mode) {
    applyInputChangeRules();
    const SearchModeRow* row = SearchModeRowOfButton(mode);
    Text1->setVisible(!row || row->takesInput());
    // All anagrams of an input have one length, so sorting by length means nothing there; the word games list in
    // an order of their own, and Wordle's words all have the guesses' length.
    Chk_Sort->setVisible(!row || row->lengthOrder);
    emit modeSelected(mode);
}

const SearchModeRow* SearchPanel::selectedRow() const {
    return SearchModeRowOfButton(selectedMode());
}

void SearchPanel::applyInputChangeRules() {
    const SearchModeRow* row = selectedRow();
    const LengthLimits lengths = row ? row->lengths : LengthLimits::Input;
    if (lengths == LengthLimits::None) {
        // The input gives the length (Wordle's guesses).
        setBothLists(0);
        setListsEnabled(false);
        return;
    }
    // Where the lists bound each word of the result (or each word's letters), not the input: choosing the mode and
    // every change of the input start them at "(All words)", so that no range left by another mode restricts the
    // result; a range chosen after typing stays until the next change. A mode without input keeps them.
    if (lengths == LengthLimits::Words || lengths == LengthLimits::Letters) {
        setListsEnabled(true);
        if (row->takesInput()) setBothLists(0);
        return;
    }
    // The length of every word the input can match; a "*", an enumeration or an expression leaves it open.
    const std::optional<int> n = (row && row->wordLength ? row->wordLength : InputCharacters)(Text1->currentText());
    if (!n) {
        setBothLists(0);
        setListsEnabled(true);
        return;
    }
    QComboBox* minimum = Cmb_Letters[Minimum];
    // An input of a length no entry offers (1 letter, over 50) leaves no range: not the one a former input left.
    int matching = 0;
    for (int entry = 1; entry < minimum->count() && matching == 0; ++entry)
        if (entryValue(minimum->itemText(entry)) == *n) matching = entry;
    setBothLists(matching);
    setListsEnabled(false);
}

void SearchPanel::lengthListClicked(int list) {
    QComboBox* chosen = Cmb_Letters[static_cast<size_t>(list)];
    QComboBox* other = Cmb_Letters[static_cast<size_t>(1 - list)];
    // Changing the other list raises this handling for it once more; it then finds the lists consistent.
    if (Cmb_Letters[Maximum]->currentIndex() < Cmb_Letters[Minimum]->currentIndex())
        other->setCurrentIndex(chosen->currentIndex());
    if (chosen->currentIndex() == 0) other->setCurrentIndex(0);
    const int minimum = Cmb_Letters[Minimum]->currentIndex();
    const SearchModeRow* row = selectedRow();
    Chk_Sort->setVisible(!(minimum == Cmb_Letters[Maximum]->currentIndex() && minimum != 0) &&
                         (!row || row->lengthOrder));
}

void SearchPanel::setBothLists(int entry) {
    Cmb_Letters[Minimum]->setCurrentIndex(entry);
    Cmb_Letters[Maximum]->setCurrentIndex(entry);
}

void SearchPanel::setListsEnabled(bool enabled) {
    for (QComboBox* list : Cmb_Letters) list->setEnabled(enabled);
}

}  // namespace lexivo
