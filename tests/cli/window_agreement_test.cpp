// The window's search and lexivo-cli list the same words in the same order (what the core lists is checked against
// the reference in the search tests).

#include <gtest/gtest.h>

#include <QtWidgets>
#include <algorithm>
#include <optional>
#include <tuple>

#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "shell/window_fixture.h"
#include "support/cli_process.h"
#include "support/reference.h"

namespace lexivo::test {
namespace {

TEST_F(WindowTest, TheWindowAndTheCommandLineListTheSameWords) {
    std::mt19937 random(31);
    const QStringList words = RandomWords(random, 300);
    const QString database = startWithDatabase(words);
    openShown();
    SearchPanel& panel = *window->Fme_Search;
    const CliRunner runner(dir.path());
    const std::tuple<SearchPanel::Mode, std::optional<TestMode>, const char*> modes[] = {
        {SearchPanel::Anagram, TestMode::Anagram, "anagram"},
        {SearchPanel::Synogram, TestMode::Synogram, "synogram"},
        {SearchPanel::Letters, TestMode::Letters, "letters"},
        {SearchPanel::Mask, TestMode::Mask, "mask"},
        {SearchPanel::Palindrome, TestMode::Palindrome, "palindromes"},
        {SearchPanel::Rack, std::nullopt, "rack"},
        {SearchPanel::Phrase, std::nullopt, "phrase"},
        {SearchPanel::Wordle, std::nullopt, "wordle"},
        {SearchPanel::Pattern, std::nullopt, "pattern"}};
    // Every mode that lists words is compared here.
    EXPECT_EQ(std::ssize(modes), std::ranges::count_if(kSearchModes, &SearchModeRow::listsWords));
    qsizetype listed = 0;
    for (int trial = 0; trial < 27; ++trial) {
        const auto [panelMode, mode, command] = modes[trial % 9];
        const QString word = words[static_cast<qsizetype>(random() % words.size())];
        // Letters compared without accents in the modes that compare letters (the reference keeps accents).
        const bool accents = trial % 3 == 2 && panelMode != SearchPanel::Palindrome;
        QString input;
        if (panelMode == SearchPanel::Wordle) {
            QString guess = word;
            guess.removeIf([](QChar c) { return !c.isLetter() || c.isSurrogate(); });
            if (guess.isEmpty()) guess = "tea";
            input = guess + ":" + ReferenceFeedback(ReferenceFold(guess), ReferenceFold(Scramble(random, guess)));
        } else if (panelMode == SearchPanel::Pattern) {
            const QList<uint> chars = word.toUcs4();
            const QString first = QString::fromUcs4(reinterpret_cast<const char32_t*>(&chars.first()), 1);
            const QString last = QString::fromUcs4(reinterpret_cast<const char32_t*>(&chars.last()), 1);
            input = "[" + first + "e]*" + (random() % 2 || !QChar::isLetter(chars.last()) ? "?" : "<" + last + ">");
        } else if (mode == TestMode::Mask) {
            input = word.left(1) + "*";
        } else if (mode != TestMode::Palindrome) {
            input = Scramble(random, word) + (panelMode == SearchPanel::Rack     ? "?"
                                              : panelMode == SearchPanel::Phrase ? " " + words[trial]
                                                                                 : "");
        }
        // Length lists: entry 0 "(All words)", entry n - 1 for n letters.
        const bool limited = mode != TestMode::Anagram && panelMode != SearchPanel::Wordle && random() % 2;
        const int minimumEntry = limited ? 1 + static_cast<int>(random() % 3) : 0;
        const int maximumEntry = limited ? minimumEntry + static_cast<int>(random() % 3) : 0;
        const bool byLength = (mode || panelMode == SearchPanel::Pattern) && random() % 2;
        QStringList args{"--db", database, command};
        if (limited)
            args << "--min" << QString::number(minimumEntry + 1) << "--max" << QString::number(maximumEntry + 1);
        if (byLength) args << "--sort-length";
        if (accents) args << "--ignore-accents";
        if (mode != TestMode::Palindrome) args << "--" << input;
        SCOPED_TRACE(args.join(' ').toStdString());

        panel.Opt_Search[static_cast<size_t>(panelMode)]->click();
        EXPECT_EQ(window->Chk_Rank->isEnabled(), panelMode == SearchPanel::Wordle);
        panel.Text1->setEditText(input);
        if (mode != TestMode::Anagram) {
            panel.Cmb_Letters[SearchPanel::Minimum]->setCurrentIndex(minimumEntry);
            panel.Cmb_Letters[SearchPanel::Maximum]->setCurrentIndex(maximumEntry);
        }
        panel.Chk_Sort->setChecked(byLength);
        window->Chk_Accents->setChecked(accents);
        panel.Cmd_Search->click();
        const QStringList shown = window->results().words();
        listed += shown.size();
        EXPECT_EQ(window->Status->text(), QStringLiteral("Found %1 word(s).").arg(shown.size()));
        expectIdle();

        const CliResult r = runner.run(args);
        EXPECT_EQ(r.code, 0) << r;
        if (panelMode == SearchPanel::Wordle || panelMode == SearchPanel::Pattern || accents) {
            QStringList a = r.lines(), b = shown;
            a.sort();
            b.sort();
            EXPECT_EQ(a, b);
        } else {
            EXPECT_EQ(r.lines(), shown);
        }
        EXPECT_EQ(r.error(), QStringLiteral("Found %1 word(s).\n").arg(shown.size()));
    }
    EXPECT_GT(listed, 27);  // the inputs are drawn from the words: the comparisons are not of empty lists
    EXPECT_TRUE(dialogs.texts().isEmpty()) << dialogs.texts().join('\n').toStdString();
}

}  // namespace
}  // namespace lexivo::test
