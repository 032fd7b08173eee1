#pragma once

// What the main window's tests share: a scratch folder standing in for the program's folder, scripted
// dialogs, and the window built the way the program builds it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>

#include "shell/frm_main.h"
#include "support/scripted_dialogs.h"
#include "support/word_db.h"

namespace lexivo::test {

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Keeps a fallback settings file away from the real configuration folder.
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("program")));
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString programFolder() const { return dir.filePath(QStringLiteral("program")); }
    QString settingsPath() const { return programFolder() + QStringLiteral("/lexivo.ini"); }
    void writeSettings(const QString& databasePath) {
        WriteFile(settingsPath(), QFile::encodeName(databasePath) + "\r\n");
    }
    QByteArray settingsBytes() const { return ReadFile(settingsPath()); }

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

    template <class T>
    T* find(const QString& name) {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    static void press(QWidget* target, int key) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                        key == Qt::Key_Return ? QStringLiteral("\r") : QString());
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<Frm_Main> window;
};

}  // namespace lexivo::test
