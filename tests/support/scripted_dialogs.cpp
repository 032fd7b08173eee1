#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace lexivo::test {

ScriptedDialogs& ScriptedDialogs::yes() {
    answers_.push_back({Answer::Type::Yes});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::no() {
    answers_.push_back({Answer::Type::No});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::choose(ErrorChoice choice) {
    answers_.push_back({Answer::Type::Choice, choice});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::fileName(const QString& path) {
    answers_.push_back({Answer::Type::File, ErrorChoice::Abort, path});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::onNextShown(std::function<void()> action) {
    actions_.push_back(std::move(action));
    return *this;
}

QStringList ScriptedDialogs::texts() const {
    QStringList list;
    for (const auto& s : shown_) list << s.text;
    return list;
}

QStringList ScriptedDialogs::questionsDefaultingToNo() const {
    QStringList list;
    for (const auto& s : shown_)
        if (s.kind == Kind::Question && s.defaultButton == DefaultButton::No) list << s.text;
    return list;
}

ScriptedDialogs::Answer ScriptedDialogs::take(Kind kind, const QString& text, const QString& title,
                                              DefaultButton defaultButton) {
    shown_.push_back({kind, text, title, defaultButton});
    if (!actions_.empty()) {
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action();
    }
    if (kind == Kind::Notice || kind == Kind::Failure) return {Answer::Type::Yes};
    if (answers_.empty()) {
        ADD_FAILURE() << "No answer queued for: " << text.toStdString();
        return {kind == Kind::SaveFile || kind == Kind::OpenFile ? Answer::Type::File : Answer::Type::No};
    }
    Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

void ScriptedDialogs::notice(const QString& text, const QString& title) {
    take(Kind::Notice, text, title);
}
void ScriptedDialogs::failure(const QString& text, const QString& title) {
    take(Kind::Failure, text, title);
}

bool ScriptedDialogs::question(const QString& text, const QString& title, DefaultButton defaultButton) {
    auto a = take(Kind::Question, text, title, defaultButton);
    EXPECT_TRUE(a.type == Answer::Type::Yes || a.type == Answer::Type::No) << text.toStdString();
    return a.type == Answer::Type::Yes;
}

bool ScriptedDialogs::retryCancel(const QString& text, const QString& title) {
    auto a = take(Kind::RetryCancel, text, title);
    EXPECT_TRUE(a.type == Answer::Type::Yes || a.type == Answer::Type::No) << text.toStdString();
    return a.type == Answer::Type::Yes;  // yes() answers Retry
}

Dialogs::ErrorChoice ScriptedDialogs::abortRetryIgnore(const QString& text, const QString& title) {
    auto a = take(Kind::AbortRetryIgnore, text, title);
    EXPECT_EQ(a.type, Answer::Type::Choice) << text.toStdString();
    return a.choice;
}

QString ScriptedDialogs::saveFileName(const QString& preset, const QString&) {
    auto a = take(Kind::SaveFile, preset, QString());
    EXPECT_EQ(a.type, Answer::Type::File);
    return a.path;
}

QString ScriptedDialogs::openFileName(const QString& preset, const QString&) {
    auto a = take(Kind::OpenFile, preset, QString());
    EXPECT_EQ(a.type, Answer::Type::File);
    return a.path;
}

}  // namespace lexivo::test
