#include "cli/arguments.h"

#include <cmath>

#include "cli/command_list.h"

namespace lexivo::cli {

namespace {

// A length for a search: a whole number of characters.
std::optional<int> wholeLength(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0) return std::nullopt;
    return value;
}

// A length for the word filter, which reads its boxes as numbers (a fraction allowed).
std::optional<double> filterLength(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0) return std::nullopt;
    return value;
}

struct GivenOption {
    QString name;
    QString value;
};

bool takesValue(const QString& name) {
    return name == QLatin1String("--db") || name == QLatin1String("--min") || name == QLatin1String("--max") ||
           name == QLatin1String("--ignore") || name == QLatin1String("--remove") || name == QLatin1String("--words") ||
           name == QLatin1String("--max-level") || name == QLatin1String("--sort") ||
           name == QLatin1String("--min-score") || name == QLatin1String("--tiles") ||
           name == QLatin1String("--spelling") || name == QLatin1String("--pos") || name == QLatin1String("--rank");
}

bool isKnown(const QString& name) {
    return takesValue(name) || name == QLatin1String("--help") || name == QLatin1String("--version") ||
           name == QLatin1String("--append") || name == QLatin1String("--force") || name == QLatin1String("--quick") ||
           name == QLatin1String("--sort-length") || name == QLatin1String("--score") ||
           name == QLatin1String("--ignore-accents");
}

// The command's own use of an option, or the usage error.
QString applyOption(Invocation& inv, const CommandInfo& info, const GivenOption& option) {
    const QString& name = option.name;
    const QString& value = option.value;
    auto notFor = [&] { return QStringLiteral("%1 does not apply to %2").arg(name, QLatin1String(info.name)); };
    if (name == QLatin1String("--db")) {
        if (value.isEmpty()) return QStringLiteral("--db needs a file name");
        inv.database = value;
    } else if (name == QLatin1String("--append")) {
        if (!(info.options & kAppend)) return notFor();
        inv.append = true;
    } else if (name == QLatin1String("--force")) {
        if (!(info.options & kForce)) return notFor();
        inv.force = true;
    } else if (name == QLatin1String("--quick")) {
        if (!(info.options & kQuick)) return notFor();
        inv.quick = true;
    } else if (name == QLatin1String("--sort-length")) {
        if (!(info.options & kLength)) return notFor();
        inv.sortByLength = true;
    } else if (name == QLatin1String("--min") || name == QLatin1String("--max")) {
        const bool minimum = name == QLatin1String("--min");
        if (info.options & kLetters) {
            const std::optional<int> length = wholeLength(value);
            if (!length || *length < 1)
                return QStringLiteral("%1 needs a whole number of letters, 1 or more, not '%2'").arg(name, value);
            (minimum ? inv.minimumLength : inv.maximumLength) = *length;
        } else if (info.options & kLength) {
            const std::optional<int> length = wholeLength(value);
            if (!length) return QStringLiteral("%1 needs a whole number of characters, not '%2'").arg(name, value);
            (minimum ? inv.minimumLength : inv.maximumLength) = *length;
        } else if (info.options & kFilter) {
            const std::optional<double> length = filterLength(value);
            if (!length) return QStringLiteral("%1 needs a number of characters, not '%2'").arg(name, value);
            if (minimum) {
                inv.filter.minimumOn = true;
                inv.filter.minimum = *length;
            } else {
                inv.filter.maximumOn = true;
                inv.filter.maximum = *length;
            }
        } else {
            return notFor();
        }
    } else if (name == QLatin1String("--ignore-accents")) {
        if (!(info.options & kAccents)) return notFor();
        inv.ignoreAccents = true;
    } else if (name == QLatin1String("--rank")) {
        if (!(info.options & kRank)) return notFor();
        if (value != QLatin1String("info") && value != QLatin1String("word"))
            return QStringLiteral("--rank needs info or word, not '%1'").arg(value);
        inv.rankByInformation = value == QLatin1String("info");
    } else if (name == QLatin1String("--words")) {
        if (!(info.options & kWords)) return notFor();
        const std::optional<int> words = wholeLength(value);
        if (!words || *words < 1 || *words > 8)
            return QStringLiteral("--words needs a whole number from 1 to 8, not '%1'").arg(value);
        inv.words = *words;
    } else if (name == QLatin1String("--max-level") || name == QLatin1String("--min-score")) {
        if (!(info.options & kScores)) return notFor();
        const std::optional<int> number = wholeLength(value);
        if (!number) return QStringLiteral("%1 needs a whole number, not '%2'").arg(name, value);
        (name == QLatin1String("--max-level") ? inv.maxLevel : inv.minScore) = *number;
    } else if (name == QLatin1String("--score") || name == QLatin1String("--tiles")) {
        if (!(info.options & kScores)) return notFor();
        if (name == QLatin1String("--score"))
            inv.showScore = true;
        else
            inv.tiles = value;
    } else if (name == QLatin1String("--sort")) {
        if (!(info.options & kScores)) return notFor();
        if (value == QLatin1String("score"))
            inv.sortByScore = true;
        else if (value == QLatin1String("length") && (info.options & kLength))
            inv.sortByLength = true;
        else
            return QStringLiteral("--sort takes score, not '%1'").arg(value);
    } else if (name == QLatin1String("--spelling")) {
        if (!(info.options & kSpelling)) return notFor();
        if (value != QLatin1String("american") && value != QLatin1String("british") &&
            value != QLatin1String("canadian") && value != QLatin1String("australian"))
            return QStringLiteral("--spelling takes american, british, canadian or australian, not '%1'").arg(value);
        inv.spelling = value;
    } else if (name == QLatin1String("--pos")) {
        if (!(info.options & kPos)) return notFor();
        if (value != QLatin1String("n") && value != QLatin1String("v") && value != QLatin1String("a") &&
            value != QLatin1String("r"))
            return QStringLiteral("--pos takes n, v, a or r, not '%1'").arg(value);
        inv.partOfSpeech = value;
    } else if (name == QLatin1String("--ignore") || name == QLatin1String("--remove")) {
        if (!(info.options & kFilter)) return notFor();
        if (name == QLatin1String("--ignore")) {
            inv.filter.ignoreOn = true;
            inv.filter.ignore = value;
        } else {
            inv.filter.removeOn = true;
            inv.filter.remove = value;
        }
    }
    return {};
}

}  // namespace

Parsed ParseArguments(const QStringList& args) {
    Parsed parsed;
    Invocation& inv = parsed.invocation;
    std::vector<GivenOption> options;
    QStringList operands;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            operands << arg;
        } else if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("-h")) {
            inv.help = true;
        } else {
            GivenOption option;
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            option.name = equals < 0 ? arg : arg.left(equals);
            if (!arg.startsWith(QLatin1String("--")) || !isKnown(option.name)) {
                parsed.error = QStringLiteral("unknown option '%1'").arg(option.name);
                return parsed;
            }
            if (takesValue(option.name)) {
                // The value is the next argument whatever it looks like: "--remove -" removes hyphens.
                if (equals >= 0) {
                    option.value = arg.mid(equals + 1);
                } else if (i + 1 < args.size()) {
                    option.value = args.at(++i);
                } else {
                    parsed.error = QStringLiteral("%1 needs a value").arg(option.name);
                    return parsed;
                }
            } else if (equals >= 0) {
                parsed.error = QStringLiteral("%1 takes no value").arg(option.name);
                return parsed;
            }
            if (option.name == QLatin1String("--help"))
                inv.help = true;
            else if (option.name == QLatin1String("--version"))
                inv.version = true;
            else
                options.push_back(option);
        }
    }

    if (inv.version) return parsed;
    if (operands.isEmpty()) {
        if (!inv.help) parsed.error = QStringLiteral("no command given");
        return parsed;
    }
    inv.commandName = operands.takeFirst();
    const CommandInfo* info = FindCommand(inv.commandName);
    if (!info) {
        parsed.error = QStringLiteral("unknown command '%1'").arg(inv.commandName);
        return parsed;
    }
    inv.command = info->command;
    inv.mode = info->mode;
    if (inv.help) return parsed;

    for (const GivenOption& option : options) {
        parsed.error = applyOption(inv, *info, option);
        if (!parsed.error.isEmpty()) return parsed;
    }
    if (info->operand) {
        if (operands.isEmpty()) {
            parsed.error = QStringLiteral("%1 needs %2").arg(inv.commandName, QLatin1String(info->operand));
            return parsed;
        }
        inv.operand = operands.takeFirst();
        if (info->options & kOperands) {
            for (const QString& more : operands) inv.operand += QLatin1Char(' ') + more;
            operands.clear();
        }
    } else if (info->options & kSpelling) {
        if (!operands.isEmpty()) inv.operand = operands.takeFirst();  // the folder, optional
    }
    if (!operands.isEmpty()) {
        parsed.error = QStringLiteral("unexpected argument '%1'").arg(operands.first());
        return parsed;
    }
    if (info->operand && !(info->options & kEmptyOperand) && inv.operand.isEmpty()) {
        parsed.error = QStringLiteral("%1 must not be empty").arg(QLatin1String(info->operand));
        return parsed;
    }
    if (inv.minimumLength && inv.maximumLength && *inv.maximumLength < *inv.minimumLength) {
        parsed.error = QStringLiteral("--max must not be below --min");
        return parsed;
    }
    return parsed;
}

}  // namespace lexivo::cli
