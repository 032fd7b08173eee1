#include "cli/lexicon_commands.h"

#include <cstdio>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "lexicon/word_levels.h"
#include "lexicon/wordnet.h"
#include "store/engine.h"
#include "store/write_access.h"

namespace lexivo::cli {

int DefineWord(const Invocation& inv, Terminal& terminal, TerminalDialogs& dialogs) {
    QString problem;
    const std::shared_ptr<const WordNet> wordnet = SharedWordNet(&problem);
    if (!wordnet) {
        dialogs.fail(problem);
        return kFailure;
    }
    const std::optional<PartOfSpeech> only =
        inv.partOfSpeech.isEmpty() ? std::nullopt : PartOfSpeechOfLetter(inv.partOfSpeech);
    const std::vector<Meaning> meanings = wordnet->define(inv.operand, only);
    if (meanings.empty()) {
        terminal.message(QStringLiteral("No definition of %1 in WordNet.").arg(inv.operand));
        return kSuccess;
    }
    QString text;
    for (const Meaning& meaning : meanings) {
        text += MeaningHeading(inv.operand, meaning) + QLatin1Char('\n');
        for (size_t i = 0; i < meaning.senses.size(); ++i)
            text += QStringLiteral("  %1. %2\n").arg(i + 1).arg(meaning.senses[i].gloss);
    }
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout) != static_cast<size_t>(bytes.size()) ||
        std::fflush(stdout) != 0) {
        dialogs.fail(QStringLiteral("the meanings could not be written"));
        return kFailure;
    }
    return kSuccess;
}

int StoreLevels(Connection& db, const Invocation& inv, Terminal& terminal, TerminalDialogs& dialogs,
                TerminalRun& run) {
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) {
        dialogs.fail(problem);
        return kFailure;
    }
    const QString folder = inv.operand.isEmpty() ? kDefaultScowlFolder : inv.operand;
    run.beginRun(QStringLiteral("Reading SCOWL's word lists..."));
    std::optional<qint64> stored;
    try {
        const std::optional<ScowlLevels> levels = ReadScowl(folder, inv.spelling, run);
        if (levels) {
            run.setStatus(QStringLiteral("Storing the levels..."));
            stored = StoreWordLevels(db, *levels, run);
        }
    } catch (const Error& e) {
        run.endRun();
        dialogs.fail(FailureReason(e) + QStringLiteral(" The database is unchanged."));
        return kFailure;
    }
    run.endRun();
    if (!stored) {
        terminal.message(QStringLiteral("Stopped: the database is unchanged."));
        return kInterrupted;
    }
    terminal.message(QStringLiteral("%1 word(s) got a level from %2.").arg(*stored).arg(folder));
    return kSuccess;
}

std::optional<TileValues> SearchTileValues(const Invocation& inv, TerminalDialogs& dialogs) {
    try {
        return LoadTileValues(inv.tiles);
    } catch (const Error& e) {
        dialogs.fail(e.message());
        return std::nullopt;
    }
}

ScoreOptions ScoreOptionsOf(const Invocation& inv) {
    ScoreOptions options;
    options.show = inv.showScore;
    options.sortByScore = inv.sortByScore;
    options.minimum = inv.minScore;
    return options;
}

}  // namespace lexivo::cli
