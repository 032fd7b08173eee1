#include "shell/lexicon_commands.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "common/dialogs.h"
#include "lexicon/word_levels.h"
#include "lexicon/wordnet.h"
#include "search/word_games.h"
#include "shell/frm_main.h"
#include "shell/long_run.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "store/error.h"

namespace lexivo {

namespace {

const QString kLevelKey = QStringLiteral("CommonWordsLevel");

// The window's options, kept beside its settings file.
QSettings options(const Frm_Main& window) {
    return QSettings(window.settings().writableFolder() + QStringLiteral("/lexivo-options.ini"), QSettings::IniFormat);
}

QString noWordNet(const QString& problem) {
    return QStringLiteral("No meanings: WordNet is not installed (install the package %1).\n\n%2")
        .arg(kWordNetPackage, problem);
}

void storeLevels(Frm_Main& window, const QString& spelling) {
    if (window.runActive() || !window.database().loaded()) return;
    LongRun& run = window.longRun();
    run.beginRun(QStringLiteral("Reading SCOWL's word lists..."));
    QString failure;
    std::optional<qint64> stored;
    try {
        if (const auto levels = ReadScowl(ScowlFolder(), spelling, run)) {
            run.setStatus(QStringLiteral("Storing the levels..."));
            stored = StoreWordLevels(window.database().CurrentDatabase, *levels, run);
        }
    } catch (const Error& e) {
        failure = e.message();
    }
    run.endRun();
    if (!failure.isEmpty()) {
        run.setStatus(QStringLiteral("No levels stored."));
        window.dialogs().failure(failure + QStringLiteral("\n\nThe database is unchanged. The lists come with the "
                                                          "package scowl."));
    } else if (!stored) {
        run.setStatus(QStringLiteral("Stopped: the database is unchanged."));
    } else {
        run.setStatus(QStringLiteral("%1 word(s) got a level.").arg(*stored));
    }
}

// The tile values and the rack that a rack search's score order scores with, held for as long as the sink.
struct RackTiles {
    TileValues values;
    LetterRack rack;
};
class RackScoreOrder : private RackTiles, public ScoringSink {
public:
    RackScoreOrder(TileValues tileValues, const QString& tiles, bool baseLetters, WordSink& out)
        : RackTiles{std::move(tileValues), LetterRack(tiles, true, baseLetters)},
          ScoringSink(out, RackTiles::values, ScoreOptions{false, true, std::nullopt}, &rack) {}
};

}  // namespace

std::optional<int> CommonWordsLevel(const Frm_Main& window) {
    const int level = window.property("lexivoCommonLevel").toInt();
    return level > 0 ? std::optional<int>(level) : std::nullopt;
}

std::unique_ptr<ScoringSink> ScoreOrder(Frm_Main& window, const SearchRequest& request, WordSink& out) {
    const auto* sort = window.findChild<QAction*>(QStringLiteral("Mnu_Options_SortScore"));
    if (!request.mode || !SearchModeRowOf(*request.mode).inputIsRack || !sort || !sort->isChecked()) return nullptr;
    try {
        return std::make_unique<RackScoreOrder>(LoadTileValues(), request.input, request.ignoreAccents, out);
    } catch (const Error& e) {
        window.dialogs().failure(e.message());
        return nullptr;
    }
}

QString ResultToolTip(Frm_Main& window, const QString& word) {
    QStringList lines;
    QString problem;
    if (const auto wordnet = SharedWordNet(&problem)) {
        int glosses = 0;
        for (const Meaning& meaning : wordnet->define(word)) {
            if (glosses == 2) break;
            lines << MeaningHeading(word, meaning);
            for (size_t i = 0; i < meaning.senses.size() && glosses < 2; ++i, ++glosses)
                lines << QStringLiteral("%1. %2").arg(i + 1).arg(meaning.senses[i].gloss);
        }
        if (lines.isEmpty()) lines << QStringLiteral("No meaning in WordNet.");
    } else {
        lines << QStringLiteral("No meanings: install the package %1.").arg(kWordNetPackage);
    }
    std::optional<int> level;
    try {
        if (window.database().loaded()) level = WordLevel(window.database().CurrentDatabase, word);
    } catch (const Error&) {
        // A database that cannot be read now has no level to show.
    }
    std::optional<int> score;
    try {
        const QVariant rack = window.property("lexivoResultsRack");
        const TileValues values = LoadTileValues();
        const bool baseLetters = window.property("lexivoResultsBaseLetters").toBool();
        score = rack.isValid() ? values.rackScore(word, LetterRack(rack.toString(), true, baseLetters))
                               : values.wordScore(word);
    } catch (const Error&) {
    }
    lines << QStringLiteral("Level: %1    Score: %2")
                 .arg(level ? QString::number(*level) : QStringLiteral("none"), ScoreText(score));
    return lines.join(QLatin1Char('\n'));
}

void ShowMeaning(Frm_Main& window, const QString& word) {
    auto* dialog = new QDialog(&window);
    dialog->setObjectName(QStringLiteral("Frm_Meaning"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("Meaning of %1").arg(word));
    auto* text = new QTextBrowser(dialog);
    text->setObjectName(QStringLiteral("Txt_Meaning"));
    QString html;
    QString problem;
    if (const auto wordnet = SharedWordNet(&problem)) {
        for (const Meaning& meaning : wordnet->define(word)) {
            html += QStringLiteral("<h3>%1</h3><ol>").arg(MeaningHeading(word, meaning).toHtmlEscaped());
            for (const Sense& sense : meaning.senses)
                html += QStringLiteral("<li><i>%1</i> \u2014 %2</li>")
                            .arg(sense.synonyms.join(QStringLiteral(", ")).toHtmlEscaped(), sense.gloss.toHtmlEscaped());
            html += QStringLiteral("</ol>");
        }
        if (html.isEmpty()) html = QStringLiteral("<p>WordNet has no meaning of %1.</p>").arg(word.toHtmlEscaped());
    } else {
        html = QStringLiteral("<p>%1</p>").arg(noWordNet(problem).toHtmlEscaped().replace("\n", "<br>"));
    }
    text->setHtml(html);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(text);
    dialog->resize(560, 420);
    dialog->show();
}

void InstallLexiconCommands(Frm_Main& window) {
    static const char* const kInstalled = "lexivoLexiconCommands";
    if (window.property(kInstalled).toBool()) return;
    window.setProperty(kInstalled, true);

    auto* levels = new QMenu(QStringLiteral("Word &Levels"), window.File);
    levels->setObjectName(QStringLiteral("Mnu_File_Levels"));
    window.File->insertMenu(window.Mnu_Sep1, levels);
    for (const QString& spelling : ScowlSpellings()) {
        QAction* action = levels->addAction(QStringLiteral("From SCOWL, %1 spelling").arg(spelling));
        action->setObjectName(QStringLiteral("Mnu_File_Levels_") + spelling);
        QObject::connect(action, &QAction::triggered, &window, [&window, spelling] { storeLevels(window, spelling); });
    }

    auto* menu = new QMenu(QStringLiteral("&Options"), &window);
    menu->setObjectName(QStringLiteral("Mnu_Options"));
    window.menuBar()->insertMenu(window.Mnu_Help->menuAction(), menu);
    auto* common = menu->addMenu(QStringLiteral("Common words only"));
    common->setObjectName(QStringLiteral("Mnu_Options_Common"));
    auto* group = new QActionGroup(common);
    const int remembered = options(window).value(kLevelKey, 0).toInt();
    for (const int level : {0, kCommonLevels[0], kCommonLevels[1], kCommonLevels[2]}) {
        QAction* action = common->addAction(level == 0 ? QStringLiteral("Off: every word")
                                                       : QStringLiteral("Level %1 or lower").arg(level));
        action->setObjectName(QStringLiteral("Mnu_Options_Common_%1").arg(level));
        action->setCheckable(true);
        action->setActionGroup(group);
        action->setChecked(level == remembered);
        QObject::connect(action, &QAction::triggered, &window, [&window, level] {
            window.setProperty("lexivoCommonLevel", level);
            options(window).setValue(kLevelKey, level);
        });
    }
    window.setProperty("lexivoCommonLevel", remembered);
    // The score order is a rack search's: the menu offers it while the Rack mode is chosen.
    QAction* sort = menu->addAction(QStringLiteral("Sort by score"));
    sort->setObjectName(QStringLiteral("Mnu_Options_SortScore"));
    sort->setCheckable(true);
    QObject::connect(menu, &QMenu::aboutToShow, &window, [&window, sort] {
        const SearchModeRow* row = SearchModeRowOfButton(window.Fme_Search->selectedMode());
        sort->setVisible(row && row->inputIsRack);
    });

    QAction* meaning = window.Mnu_Edit->addAction(QStringLiteral("&Meaning\u2026"));
    meaning->setObjectName(QStringLiteral("Mnu_Edit_Meaning"));
    QObject::connect(meaning, &QAction::triggered, &window, [&window] {
        const QModelIndex current = window.List1->currentIndex();
        if (current.isValid()) ShowMeaning(window, window.results().word(current.row()));
    });
    window.results().toolTip = [&window](const QString& word) { return ResultToolTip(window, word); };
}

}  // namespace lexivo
