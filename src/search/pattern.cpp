#include "search/pattern.h"

#include <QChar>
#include <QList>
#include <QString>
#include <algorithm>
#include <array>
#include <vector>

#include "search/letter_fold.h"

namespace lexivo {

namespace {

enum class Kind { Literal, Any, Vowel, Consonant, Set, Variable, Anagram, Star };

struct Element {
    Kind kind = Kind::Literal;
    char32_t letter = 0;  // Literal
    int variable = 0;     // Variable: 1 to 9
    // Set: its characters and ranges, or with negated every character but those.
    bool negated = false;
    std::u32string members;
    std::vector<std::pair<char32_t, char32_t>> ranges;
    // Anagram: the letters of the block, and its "?"s.
    std::u32string letters;
    int blanks = 0;

    int width() const {
        if (kind == Kind::Star) return 0;
        return kind == Kind::Anagram ? static_cast<int>(letters.size()) + blanks : 1;
    }
};

bool isVowel(char32_t c) {
    return c == U'a' || c == U'e' || c == U'i' || c == U'o' || c == U'u';
}

bool isSeparator(char32_t c) {
    return c == U' ' || c == U'_' || c == U'-';
}

// The most steps one word may take where letter variables rule out remembering failed positions.
constexpr long kStepLimit = 1 << 20;

class Language : public Pattern {
public:
    Language(std::vector<Element> elements, std::vector<int> parts, std::u32string separators)
        : elements_(std::move(elements)), parts_(std::move(parts)), separators_(std::move(separators)) {
        for (const Element& e : elements_) {
            minimum_ += e.width();
            star_ = star_ || e.kind == Kind::Star;
            variables_ = variables_ || e.kind == Kind::Variable;
        }
    }

    Result match(const QString&, std::u32string_view folded) const override {
        std::u32string_view body = folded;
        if (!parts_.empty()) {
            if (!fitsEnumeration(folded)) return Result::NoMatch;
            stripped_.clear();
            for (const char32_t c : folded)
                if (!isSeparator(c)) stripped_ += c;
            body = stripped_;
            if (elements_.empty()) return Result::Match;
        }
        const auto n = static_cast<int>(body.size());
        if (n < minimum_ || (!star_ && n != minimum_)) return Result::NoMatch;
        body_ = body;
        bound_.fill(0);
        steps_ = 0;
        // Without variables, a position that failed once fails again: remembered, a match takes at most
        // elements times characters steps however many "*" the pattern has.
        failed_.assign(variables_ ? 0 : (elements_.size() + 1) * static_cast<size_t>(n + 1), 0);
        const bool found = from(0, 0);
        if (steps_ > kStepLimit) return Result::TooMuchWork;
        return found ? Result::Match : Result::NoMatch;
    }
    std::optional<int> fixedLength() const override {
        if (star_ || !parts_.empty()) return std::nullopt;
        return minimum_;
    }
    int minimumLength() const override { return parts_.empty() ? minimum_ : 0; }

private:
    bool fitsEnumeration(std::u32string_view word) const {
        size_t part = 0;
        int letters = 0;
        for (const char32_t c : word) {
            if (isSeparator(c)) {
                const char32_t wanted = c == U'-' ? U'-' : U',';
                if (part >= separators_.size() || separators_[part] != wanted || letters != parts_[part]) return false;
                ++part;
                letters = 0;
            } else if (QChar::isLetter(c)) {
                ++letters;
            }
        }
        return part + 1 == parts_.size() && letters == parts_[part];
    }

    bool one(const Element& e, char32_t c) const {
        switch (e.kind) {
            case Kind::Literal:
                return c == e.letter;
            case Kind::Any:
                return true;
            case Kind::Vowel:
                return isVowel(c);
            case Kind::Consonant:
                return c >= U'a' && c <= U'z' && !isVowel(c);
            case Kind::Set: {
                bool in = e.members.find(c) != std::u32string::npos;
                for (const auto& [low, high] : e.ranges) in = in || (c >= low && c <= high);
                return in != e.negated;
            }
            default:
                return false;
        }
    }

    bool anagram(const Element& e, int at) const {
        std::u32string run(body_.substr(static_cast<size_t>(at), static_cast<size_t>(e.width())));
        // Each letter of the block takes a character of its own; the "?"s take what is left.
        for (const char32_t letter : e.letters) {
            const auto found = run.find(letter);
            if (found == std::u32string::npos) return false;
            run[found] = 0;
        }
        return true;
    }

    bool from(size_t e, int at) const {
        if (++steps_ > kStepLimit) return false;
        const auto n = static_cast<int>(body_.size());
        if (e == elements_.size()) return at == n;
        const size_t memo = e * static_cast<size_t>(n + 1) + static_cast<size_t>(at);
        if (!failed_.empty() && failed_[memo]) return false;
        const bool found = step(e, at);
        if (!found && !failed_.empty()) failed_[memo] = 1;
        return found;
    }

    bool step(size_t e, int at) const {
        const Element& element = elements_[e];
        const auto n = static_cast<int>(body_.size());
        if (element.kind == Kind::Star) {
            for (int end = at; end <= n; ++end)
                if (from(e + 1, end)) return true;
            return false;
        }
        if (at + element.width() > n) return false;
        if (element.kind == Kind::Anagram) return anagram(element, at) && from(e + 1, at + element.width());
        const char32_t c = body_[static_cast<size_t>(at)];
        if (element.kind != Kind::Variable) return one(element, c) && from(e + 1, at + 1);
        char32_t& bound = bound_[static_cast<size_t>(element.variable)];
        if (bound) return c == bound && from(e + 1, at + 1);
        // A new variable: a letter that no other variable stands for.
        if (!QChar::isLetter(c) || std::find(bound_.begin(), bound_.end(), c) != bound_.end()) return false;
        bound = c;
        const bool found = from(e + 1, at + 1);
        bound = 0;
        return found;
    }

    std::vector<Element> elements_;
    std::vector<int> parts_;     // the letters of each part of the enumeration; empty without one
    std::u32string separators_;  // "," or "-" between each two parts
    int minimum_ = 0;
    bool star_ = false;
    bool variables_ = false;
    // The state of one match: the searches run on one thread.
    mutable std::u32string stripped_;
    mutable std::u32string_view body_;
    mutable std::array<char32_t, 10> bound_{};
    mutable std::vector<char> failed_;
    mutable long steps_ = 0;
};

// Reads one pattern, character by character, into elements.
class Reader {
public:
    Reader(const QString& text, bool ignoreAccents) : text_(text.toUcs4()), ignoreAccents_(ignoreAccents) {}

    QString read() {
        while (at_ < text_.size()) {
            const char32_t c = take();
            const int column = static_cast<int>(at_);
            QString error;
            switch (c) {
                case U'\\':
                    if (at_ == text_.size()) return fault("A \"\\\" at column %1 with nothing after it", column);
                    literal(take());
                    break;
                case U'?':
                    add(Kind::Any);
                    break;
                case U'@':
                    add(Kind::Vowel);
                    break;
                case U'#':
                    add(Kind::Consonant);
                    break;
                case U'*':
                    if (elements_.empty() || elements_.back().kind != Kind::Star) add(Kind::Star);
                    break;
                case U'[':
                    error = set(column);
                    break;
                case U'<':
                    error = anagram(column);
                    break;
                case U'(':
                    error = enumeration(column);
                    break;
                case U']':
                case U'>':
                case U')':
                    return fault("\"%2\" at column %1 closes nothing (write \\%2 for the character itself)", column, c);
                case U'0':
                    return fault("The digit 0 at column %1: the letter variables are 1 to 9", column);
                default:
                    if (c >= U'1' && c <= U'9') {
                        add(Kind::Variable).variable = static_cast<int>(c - U'0');
                    } else {
                        literal(c);
                    }
            }
            if (!error.isEmpty()) return error;
        }
        return {};
    }

    std::vector<Element> elements_;
    std::vector<int> parts_;
    std::u32string separators_;

private:
    char32_t take() { return static_cast<char32_t>(text_[at_++]); }
    bool atEnd() const { return at_ == text_.size(); }
    char32_t peek() const { return static_cast<char32_t>(text_[at_]); }

    static QString fault(const char* message, int column, char32_t c = 0) {
        QString text = QString::fromUtf8(message).arg(column);
        return c ? text.arg(QString::fromUcs4(&c, 1)) : text;
    }

    Element& add(Kind kind) {
        elements_.push_back({});
        elements_.back().kind = kind;
        return elements_.back();
    }

    std::u32string fold(char32_t c) const {
        std::u32string folded;
        AppendFoldedCharacter(c, ignoreAccents_, folded);
        return folded;
    }
    // One character as a range end: its folded form where that is one character.
    char32_t foldOne(char32_t c) const {
        const std::u32string folded = fold(c);
        return folded.size() == 1 ? folded[0] : c;
    }

    void literal(char32_t c) {
        for (const char32_t f : fold(c)) add(Kind::Literal).letter = f;
    }

    QString set(int column) {
        Element e;
        e.kind = Kind::Set;
        if (!atEnd() && (peek() == U'^' || peek() == U'!')) {
            e.negated = true;
            take();
        }
        for (;;) {
            if (atEnd()) return fault("Unclosed \"[\" at column %1", column);
            char32_t c = take();
            if (c == U']') break;
            if (c == U'\\') {
                if (atEnd()) return fault("Unclosed \"[\" at column %1", column);
                c = take();
            }
            if (at_ + 1 < text_.size() && peek() == U'-' && text_[at_ + 1] != U']') {
                take();
                char32_t high = take();
                if (high == U'\\' && !atEnd()) high = take();
                const char32_t low = foldOne(c);
                high = foldOne(high);
                if (high < low) return fault("The range at column %1 runs backwards", static_cast<int>(at_) - 2);
                e.ranges.emplace_back(low, high);
            } else {
                e.members += fold(c);
            }
        }
        if (e.members.empty() && e.ranges.empty()) return fault("Empty \"[]\" at column %1", column);
        elements_.push_back(std::move(e));
        return {};
    }

    QString anagram(int column) {
        Element e;
        e.kind = Kind::Anagram;
        for (;;) {
            if (atEnd()) return fault("Unclosed \"<\" at column %1", column);
            const char32_t c = take();
            if (c == U'>') break;
            if (c == U'?') {
                ++e.blanks;
            } else if (QChar::isLetter(c)) {
                e.letters += fold(c);
            } else {
                return fault("\"%2\" at column %1: an anagram block \"<...>\" holds letters and \"?\" only",
                             static_cast<int>(at_), c);
            }
        }
        if (e.width() == 0) return fault("Empty \"<>\" at column %1", column);
        elements_.push_back(std::move(e));
        return {};
    }

    QString enumeration(int column) {
        const char* wrong =
            "\"(\" at column %1: an enumeration is letter counts separated by \",\" or \"-\", such as (3,5) or "
            "(5-4), at the end of the pattern";
        for (;;) {
            int count = 0;
            bool digits = false;
            while (!atEnd() && peek() >= U'0' && peek() <= U'9') {
                count = std::min(count * 10 + static_cast<int>(take() - U'0'), 100000);
                digits = true;
            }
            if (!digits || count == 0 || atEnd()) return fault(wrong, column);
            parts_.push_back(count);
            const char32_t c = take();
            if (c == U')') break;
            if (c != U',' && c != U'-') return fault(wrong, column);
            separators_ += c;
        }
        if (!atEnd()) return fault(wrong, column);
        return {};
    }

    QList<uint> text_;
    qsizetype at_ = 0;
    bool ignoreAccents_;
};

}  // namespace

PatternParse CompilePattern(const QString& text, bool ignoreAccents) {
    PatternParse result;
    if (text.isEmpty()) {
        result.error = QStringLiteral("Type a pattern such as c??e, ??1221, c<ra?e>, [sz]* or /expression");
        return result;
    }
    if (text.startsWith(QLatin1Char('/'))) {
        result.pattern = CompileExpression(text.mid(1), ignoreAccents, result.error);
        return result;
    }
    Reader reader(text, ignoreAccents);
    result.error = reader.read();
    if (result.error.isEmpty())
        result.pattern = std::make_shared<Language>(std::move(reader.elements_), std::move(reader.parts_),
                                                    std::move(reader.separators_));
    return result;
}

QString PatternOfMask(const QString& mask) {
    QString pattern;
    for (const QChar c : mask) {
        if (QStringView(u"[]<>()\\/0123456789").contains(c)) pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern;
}

}  // namespace lexivo
