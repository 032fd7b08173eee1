#include "store/word_editing.h"

#include "store/dialogs.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/write_access.h"

namespace lexivo {

AddResult AddWord(Connection& db, const QString& text, Dialogs& dialogs) {
    if (text.isEmpty()) {
        dialogs.notice(QStringLiteral("Nothing to add!"));
        return AddResult::NothingToAdd;
    }
    // Refused before the question: the field could never hold it, whatever the answer.
    if (const int length = CharacterCount(text); length > kMaxFieldLength) {
        dialogs.failure(QStringLiteral("The text is %1 characters long, but a word can have at most %2 characters, "
                                       "so it cannot be added.")
                            .arg(length)
                            .arg(kMaxFieldLength));
        return AddResult::TooLong;
    }
    if (const QString problem = ControlCharacterProblem(text); !problem.isEmpty()) {
        dialogs.failure(problem);
        return AddResult::ControlCharacters;
    }
    if (!dialogs.question(QStringLiteral("Add '") + text + QStringLiteral("' to database?")))
        return AddResult::Declined;
    try {
        WordTable table(db);
        if (table.seek(text)) {
            dialogs.notice(QStringLiteral("Already in database!"));
            return AddResult::AlreadyPresent;
        }
        if (const QString problem = WriteProblem(db); !problem.isEmpty()) throw Error(problem);
        const WordKeys keys = KeysOf(text);
        table.addNew(text, keys.sorted, keys.letters);
    } catch (const Error& e) {
        dialogs.failure(QStringLiteral("The word could not be added: %1").arg(FailureReason(e)));
        return AddResult::Failed;
    }
    dialogs.notice(QStringLiteral("OK!"));
    return AddResult::Added;
}

QString DeleteCurrentQuestion(const QString& word) {
    return QStringLiteral("Delete ") + word + QStringLiteral(" ?");
}

QString DeleteSelectedQuestion(qsizetype count) {
    return QStringLiteral("Delete %1 selected words?").arg(count);
}

QString DeleteStatement(const QString& word) {
    return QStringLiteral("DELETE * FROM [Dictionary] WHERE [Word] = '") + EscapeQuotes(word) + QLatin1Char('\'');
}

DeleteResult DeleteWords(Connection& db, const QStringList& words, Dialogs& dialogs) {
    DeleteResult result;
    try {
        if (const QString problem = WriteProblem(db); !problem.isEmpty()) throw Error(problem);
        // One transaction: a failure part-way leaves the table (and so the list) as it was, and a thousand
        // deletions cost one sync of the file instead of a thousand.
        Transaction transaction(db);
        for (const QString& word : words) {
            db.execute(DeleteStatement(word));
            result.rowsRemoved += db.changes();
        }
        transaction.commit();
    } catch (const Error& e) {
        result.rowsRemoved = 0;
        result.error = FailureReason(e);
        dialogs.failure(QStringLiteral("Nothing was deleted: %1").arg(result.error));
    }
    return result;
}

}  // namespace lexivo
