// The regular expressions of the pattern search, on PCRE2: Perl's syntax with back-references, and a bound on
// the work of each match, so that no expression can keep the window from answering. The engine reads UTF-8, as
// the words in memory are kept: a scan of them makes no copy of a word to match it.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QList>
#include <QString>

#include "search/letter_fold.h"
#include "search/pattern.h"

namespace lexivo {

namespace {

// Steps of the engine's backtracking per word, and how deep it may nest: a word of the longest kind that any
// sane expression matches takes a small part of either.
constexpr uint32_t kMatchLimit = 200000;
constexpr uint32_t kDepthLimit = 5000;

QString messageOf(int code) {
    PCRE2_UCHAR buffer[256];
    const int length = pcre2_get_error_message(code, buffer, 256);
    return length < 0 ? QStringLiteral("error %1").arg(code)
                      : QString::fromUtf8(reinterpret_cast<const char*>(buffer), length);
}

class Expression : public Pattern {
public:
    Expression(pcre2_code* code, bool ignoreAccents) : code_(code), ignoreAccents_(ignoreAccents) {
        // Compiled to machine code where the system allows it; the limits hold there as well.
        pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
        context_ = pcre2_match_context_create(nullptr);
        pcre2_set_match_limit(context_, kMatchLimit);
        pcre2_set_depth_limit(context_, kDepthLimit);
        data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    }
    ~Expression() override {
        pcre2_match_data_free(data_);
        pcre2_match_context_free(context_);
        pcre2_code_free(code_);
    }
    Expression(const Expression&) = delete;
    Expression& operator=(const Expression&) = delete;

    Result match(const QString& word, std::u32string_view folded) const override {
        // Letter case is the engine's to ignore; accents are left out of the word before it sees it.
        return matchSubject((ignoreAccents_ ? FromFolded(folded) : word).toUtf8());
    }
    std::optional<Result> matchUtf8(QByteArrayView word) const override {
        if (ignoreAccents_) return std::nullopt;
        return matchSubject(word);
    }
    std::optional<int> fixedLength() const override { return std::nullopt; }
    int minimumLength() const override { return 0; }

private:
    Result matchSubject(QByteArrayView subject) const {
        const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                                   static_cast<PCRE2_SIZE>(subject.size()), 0, 0, data_, context_);
        if (rc >= 0) return Result::Match;
        if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT)
            return Result::TooMuchWork;
        // No match, or a word that is not valid UTF-8, which no expression matches.
        return Result::NoMatch;
    }

    pcre2_code* code_;
    pcre2_match_context* context_;
    pcre2_match_data* data_;  // one match at a time: the searches run on one thread
    bool ignoreAccents_;
};

}  // namespace

std::shared_ptr<const Pattern> CompileExpression(const QString& expression, bool ignoreAccents, QString& error) {
    int code = 0;
    PCRE2_SIZE offset = 0;
    // The whole word: anchored at both ends.
    const QByteArray text = expression.toUtf8();
    pcre2_code* compiled = pcre2_compile(
        reinterpret_cast<PCRE2_SPTR>(text.constData()), static_cast<PCRE2_SIZE>(text.size()),
        PCRE2_UTF | PCRE2_UCP | PCRE2_CASELESS | PCRE2_ANCHORED | PCRE2_ENDANCHORED, &code, &offset, nullptr);
    if (!compiled) {
        // The column in the whole pattern, whose "/" comes first.
        const qsizetype column = QString::fromUtf8(text.left(static_cast<qsizetype>(offset))).toUcs4().size() + 2;
        error = QStringLiteral("Invalid regular expression at column %1: %2").arg(column).arg(messageOf(code));
        return nullptr;
    }
    return std::make_shared<Expression>(compiled, ignoreAccents);
}

}  // namespace lexivo
