// The main window's search and lexivo-cli give the same words, in the same order, for the same database and
// input: both run the core's one search.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>

#include "support/cli_process.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "shell/window_fixture.h"

namespace lexivo::test {
namespace {

class WindowAgreementTest : public WindowTest {};

QStringList agreementWords() {
    QStringList words = {"tea",  "eat",   "ate",  "Tea",  "teas", "teat", "tee",   "Cook",  "cask", "cork",
                         "cake", "cafe",  "café", "cone", "make", "ease", "level", "Level", "stop", "pots",
                         "a",    "don't", "o'er", "coot", "cot",  "tact", "attic", "cotta", "cocoa"};
    // A real list where the machine has one, for breadth; the comparison holds whatever the words are.
    QFile dictionary(QStringLiteral("/usr/share/dict/words"));
    if (dictionary.open(QIODevice::ReadOnly)) {
        for (int i = 0; i < 30000 && !dictionary.atEnd(); ++i) {
            const QString word = QString::fromUtf8(dictionary.readLine()).trimmed();
            if (!word.isEmpty()) words << word;
        }
    }
    return words;
}

TEST_F(WindowAgreementTest, TheWindowAndTheCommandLineListTheSameWords) {
    const QString database = startWithDatabase(agreementWords());
    openShown();
    SearchPanel& panel = *window->Fme_Search;

    struct Case {
        SearchPanel::Mode mode;
        QString input;
        // Entries of the length lists (0 "(All words)", n - 1 for n letters), chosen as a user chooses them;
        // -1 leaves them where the input's rules put them (they are disabled then).
        int minimumEntry;
        int maximumEntry;
        bool sortByLength;
        QStringList args;
    };
    const Case cases[] = {
        {SearchPanel::Anagram, "tea", -1, -1, false, {"anagram", "tea"}},
        {SearchPanel::Anagram, "Tac", -1, -1, false, {"anagram", "Tac"}},
        {SearchPanel::Synogram, "cot", 0, 0, false, {"synogram", "cot"}},
        {SearchPanel::Letters, "cot", 0, 0, true, {"letters", "cot", "--sort-length"}},
        {SearchPanel::Letters, "ta", 3, 6, false, {"letters", "ta", "--min", "4", "--max", "7"}},
        {SearchPanel::Mask, "c@@k", -1, -1, false, {"mask", "c@@k"}},
        {SearchPanel::Mask, "C#*", 0, 0, true, {"mask", "C#*", "--sort-length"}},
        {SearchPanel::Mask, "*@'#", 0, 0, false, {"mask", "*@'#"}},
        {SearchPanel::Mask, "co*", 2, 4, false, {"mask", "co*", "--min", "3", "--max", "5"}},
        {SearchPanel::Palindrome, "", 0, 0, false, {"palindromes"}},
        {SearchPanel::Palindrome, "", 4, 4, true, {"palindromes", "--min", "5", "--max", "5", "--sort-length"}},
    };
    const CliRunner runner(dir.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        panel.Opt_Search[static_cast<size_t>(c.mode)]->click();
        panel.Text1->setEditText(c.input);
        // The lists last, so that the input's rules do not move them again: the minimum first, which the
        // maximum follows, then the maximum.
        if (c.minimumEntry >= 0) {
            panel.Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(c.minimumEntry);
            panel.Cmb_Letters[SearchPanel::Maximum]->setCurrentIndex(c.maximumEntry);
        }
        panel.Chk_Sort->setChecked(c.sortByLength);
        panel.Cmd_Search->click();
        const QStringList shown = window->results().words();

        const CliResult r = runner.run(QStringList{"--db", database} + c.args);
        EXPECT_EQ(r.code, 0) << r;
        EXPECT_FALSE(shown.isEmpty());
        EXPECT_EQ(r.lines(), shown);
        EXPECT_EQ(r.error(), QStringLiteral("Found %1 word(s).\n").arg(shown.size()));
    }
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('\n').toStdString();
}

}  // namespace
}  // namespace lexivo::test
