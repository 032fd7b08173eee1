#pragma once

#include <QGroupBox>
#include <array>

#include "search/search_modes.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

namespace lexivo {

// The search panel (the frame Fme_Search): the search mode, the input, the two word-length lists and the
// sort choice, with the rules that keep them consistent while the user types and clicks.
class SearchPanel : public QGroupBox {
    Q_OBJECT
public:
    // Indexes of the mode buttons Opt_Search, as the table of modes gives them (search_modes.h).
    enum Mode {
        Anagram = ButtonOf(SearchMode::Anagram),
        Synogram = ButtonOf(SearchMode::Synogram),
        Palindrome = ButtonOf(SearchMode::Palindrome),
        Mask = ButtonOf(SearchMode::Mask),
        Add = ButtonOf(SearchMode::Add),
        Delete = ButtonOf(SearchMode::Delete),
        Letters = ButtonOf(SearchMode::Letters),
        Rack = ButtonOf(SearchMode::Rack),
        Phrase = ButtonOf(SearchMode::Phrase),
        Wordle = ButtonOf(SearchMode::Wordle),
        Pattern = ButtonOf(SearchMode::Pattern),
    };
    // Indexes of the length lists Cmb_Letters.
    enum LengthList { Minimum = 0, Maximum = 1 };

    explicit SearchPanel(QWidget* parent = nullptr);

    QComboBox* Text1;
    std::array<QRadioButton*, ModeButtonCount()> Opt_Search;
    QLabel* Picture1;
    QFrame* Line1;
    QLabel* Label2;
    QLabel* Label3;
    std::array<QComboBox*, 2> Cmb_Letters;
    QCheckBox* Chk_Sort;
    QPushButton* Cmd_Search;

    // "(All words)" and "2 letters" to "50 letters" in both lists, both on "(All words)", coupled.
    void fillLengthLists();
    // The selected mode's index, -1 when none is selected.
    int selectedMode() const;
    // The word length an entry of a length list stands for: its leading number, 0 for "(All words)".
    static int entryValue(const QString& entryText);

    // The rule of a click on the minimum list: the maximum not below the minimum, no limit on one side means
    // none on either, and the sort choice hidden when all results will have one length.
    void applyLengthListRule() { lengthListClicked(Minimum); }
    // Brings the length lists into line with the input for the selected mode.
    void applyInputChangeRules();

signals:
    // The selected mode changed (its index).
    void modeSelected(int mode);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void modeClicked(int mode);
    void lengthListClicked(int list);
    void setBothLists(int entry);
    void setListsEnabled(bool enabled);
    // The row of the selected mode in the table of modes; nullptr when no mode is selected.
    const SearchModeRow* selectedRow() const;

    QButtonGroup* modes_;
};

}  // namespace lexivo
