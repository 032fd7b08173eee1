#pragma once

// The main window's tests: a scratch program folder, scripted dialogs, the window and ways to act on it.

#include <gtest/gtest.h>

#include <QtWidgets>
#include <algorithm>
#include <memory>
#include <ostream>

#include "common/run_control.h"
#include "shell/frm_main.h"
#include "shell/results_list.h"
#include "shell/results_model.h"
#include "shell/search_panel.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {

// Input that arrives while a run lets the window handle its events: the slot runs at the run's next slice.
inline void duringRun(QObject* target, const char* slot) {
    QMetaObject::invokeMethod(target, slot, Qt::QueuedConnection);
}

// A press and release of a mouse button at a point of a widget.
inline void click(QWidget* target, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, target->mapToGlobal(at), button,
                          type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStandardPaths::setTestModeEnabled(true);  // keeps the fallback settings file out of the real folder
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("program")));
    }
    void TearDown() override {  // a failed test must not leave the busy pointer to the next one
        while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString programFolder() const { return dir.filePath(QStringLiteral("program")); }
    QString settingsPath() const { return programFolder() + QStringLiteral("/lexivo.ini"); }
    void writeSettings(const QString& databasePath) {
        WriteFile(settingsPath(), QFile::encodeName(databasePath) + "\r\n");
    }
    QByteArray settingsBytes() const { return ReadFile(settingsPath()); }
    QString caption() { return window->Fme_Search->title(); }
    QString status() { return window->Status->text(); }
    QString loaded() { return window->database().DatabasePath; }
    Connection& db() { return window->database().CurrentDatabase; }
    QStringList stored() { return StoredWords(db()); }
    bool hasWordIndex() { return db().indexNames("Dictionary").contains("Word", Qt::CaseInsensitive); }
    QString fallbackFolder() const { return path(QStringLiteral("config")); }
    // A folder that cannot exist: its parent is a file.
    QString unusableFolder() {
        WriteFile(path(QStringLiteral("plain-file")), "x");
        return path(QStringLiteral("plain-file/folder"));
    }

    // A word database of its own, named in the settings file so that the window starts with it loaded.
    QString startWithDatabase(const QStringList& words, const QString& name = QStringLiteral("english.mdb")) {
        const QString database = path(name);
        CreateWordDatabase(database, words);
        writeSettings(database);
        return database;
    }

    virtual Frm_Main& open() {
        window = std::make_unique<Frm_Main>(dialogs, programFolder());
        return *window;
    }
    Frm_Main& openShown() {
        open();
        window->show();
        QApplication::processEvents();
        return *window;
    }

    static void press(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        key == Qt::Key_Return ? QStringLiteral("\r") : QString());
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    // The menu commands the user cannot choose now, in the order the window made them.
    QStringList disabledCommands() const {
        QStringList names;
        for (QAction* action : window->findChildren<QAction*>())
            if (!action->isEnabled() && !action->isSeparator() && !action->objectName().isEmpty())
                names << action->objectName();
        if (!window->Mnu_Edit->menuAction()->isEnabled()) names << QStringLiteral("Mnu_Edit");
        return names;
    }

    // The idle state with a database loaded that every run and command returns to, whatever ended it.
    void expectIdle() {
        EXPECT_EQ(window->Cmd_Close->text(), "&Close");
        EXPECT_TRUE(window->run().stopFlag());
        EXPECT_FALSE(window->runActive());
        EXPECT_TRUE(window->Fme_Search->isEnabled());
        EXPECT_EQ(disabledCommands(), QStringList());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
        EXPECT_FALSE(window->database().CurrentDatabase.inTransaction());
    }

    void showResults(const QStringList& words) {
        window->results().clear();
        window->results().append(words);
        QApplication::processEvents();
    }
    QItemSelectionModel& selection() { return *window->List1->selectionModel(); }
    void select(std::initializer_list<int> rows) {
        for (int row : rows) selection().select(window->results().index(row), QItemSelectionModel::Select);
    }
    QList<int> selectedRows() {
        QList<int> rows;
        for (const QModelIndex& index : selection().selectedIndexes()) rows << index.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    QPoint rowCentre(int row) { return window->List1->visualRect(window->results().index(row)).center(); }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Frm_Main> window;
};

}  // namespace lexivo::test
