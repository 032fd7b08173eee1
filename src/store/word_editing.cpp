#include "store/word_editing.h"

#include "common/dialogs.h"
#include "store/engine.h"
#include "store/keys.h"
#include "store/write_access.h"

namespace lexivo {

QString TooLongProblem(const QString& word) {
    const int length = CharacterCount(word);
    if (length <= kMaxFieldLength) return {};
    return QStringLiteral("Word too long! A word can have at most %1 characters; this one has %2.")
        .arg(kMaxFieldLength)
        .arg(length);
}

void StoreWord(Connection& db, const QString& word) {
    if (const QString problem = TooLongProblem(word); !problem.isEmpty()) throw Error(problem);
    if (const QString problem = WriteProblem(db); !problem.isEmpty()) throw Error(problem);
    const WordKeys keys = KeysOf(word);
    WordTable(db).addNew(word, keys.sorted, keys.letters);
}

qint64 DeleteWord(Connection& db, const QString& word) {
    return WordTable(db).deleteWord(word);
}

void RemoveAllWords(Connection& db) {
    db.execute(QStringLiteral("DELETE * FROM Dictionary"));
}

AddResult AddWord(Connection& db, const QString& text, Dialogs& dialogs) {
    if (text.isEmpty()) {
        dialogs.notice(QStringLiteral("Nothing to add!"));
        return AddResult::NothingToAdd;
    }
    // Refused before the question: the field could never hold it, whatever the answer.
    if (const QString problem = TooLongProblem(text); !problem.isEmpty()) {
        dialogs.failure(problem);
        return AddResult::TooLong;
    }
    if (const QString problem = ControlCharacterProblem(text); !problem.isEmpty()) {
        dialogs.failure(problem);
        return AddResult::ControlCharacters;
    }
    if (!dialogs.question(QStringLiteral("Add '") + text + QStringLiteral("' to database?")))
        return AddResult::Declined;
    try {
        if (WordTable(db).seek(text)) {
            dialogs.notice(QStringLiteral("Already in database!"));
            return AddResult::AlreadyPresent;
        }
        StoreWord(db, text);
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

DeleteResult DeleteWords(Connection& db, const QStringList& words, Dialogs& dialogs) {
    DeleteResult result;
    try {
        if (const QString problem = WriteProblem(db); !problem.isEmpty()) throw Error(problem);
        // One transaction: a failure part-way leaves the table (and so the list) as it was, and a thousand
        // deletions cost one sync of the file instead of a thousand.
        Transaction transaction(db);
        WordTable table(db);
        for (const QString& word : words) result.rowsRemoved += table.deleteWord(word);
        transaction.commit();
    } catch (const Error& e) {
        result.rowsRemoved = 0;
        result.error = FailureReason(e);
        dialogs.failure(QStringLiteral("Nothing was deleted: %1").arg(result.error));
    }
    return result;
}

}  // namespace lexivo
