#include "shell/settings_file.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "window_fixture.h"

namespace lexivo::test {
namespace {

class SettingsFileTest : public WindowTest {
protected:
    QString fallbackFolder() const { return path(QStringLiteral("config")); }
    // A folder that cannot exist: its parent is a file.
    QString unusableFolder() {
        WriteFile(path(QStringLiteral("plain-file")), "x");
        return path(QStringLiteral("plain-file/folder"));
    }
};

TEST_F(SettingsFileTest, OneLineEndedByCrLf) {
    const SettingsFile settings(programFolder(), fallbackFolder());
    ASSERT_TRUE(settings.write(QStringLiteral("/words/english.mdb")));
    EXPECT_EQ(settingsBytes(), "/words/english.mdb\r\n");
    EXPECT_EQ(settings.read(), "/words/english.mdb");
    ASSERT_TRUE(settings.write(QString()));
    EXPECT_EQ(settingsBytes(), "\r\n");
    EXPECT_EQ(settings.read(), "");
    EXPECT_FALSE(QFile::exists(settings.fallbackFile()));
}

TEST_F(SettingsFileTest, PathWithCommasAndBlanksIsReadWhole) {
    WriteFile(settingsPath(), "/my words/list, big ,one.mdb\r\nsecond line\r\n");
    EXPECT_EQ(SettingsFile(programFolder(), fallbackFolder()).read(), "/my words/list, big ,one.mdb");
    WriteFile(settingsPath(), "/no/line/end.mdb");
    EXPECT_EQ(SettingsFile(programFolder(), fallbackFolder()).read(), "/no/line/end.mdb");
}

TEST_F(SettingsFileTest, NonAsciiPathSurvivesARoundTrip) {
    const SettingsFile settings(programFolder(), fallbackFolder());
    const QString name = QStringLiteral("/wörter/français.mdb");
    ASSERT_TRUE(settings.write(name));
    EXPECT_EQ(settings.read(), name);
}

TEST_F(SettingsFileTest, MissingOrEmptyFileGivesNoPath) {
    EXPECT_EQ(SettingsFile(programFolder(), fallbackFolder()).read(), "");
    WriteFile(settingsPath(), "");
    EXPECT_EQ(SettingsFile(programFolder(), fallbackFolder()).read(), "");
}

TEST_F(SettingsFileTest, UnwritableProgramFolderUsesTheConfigurationFolder) {
    const SettingsFile settings(unusableFolder(), fallbackFolder());
    ASSERT_TRUE(settings.write(QStringLiteral("/words/english.mdb")));
    EXPECT_EQ(ReadFile(fallbackFolder() + "/lexivo.ini"), "/words/english.mdb\r\n");
    EXPECT_EQ(settings.read(), "/words/english.mdb");
}

TEST_F(SettingsFileTest, ConfigurationFolderIsReadWhenTheProgramFolderHasNone) {
    QDir().mkpath(fallbackFolder());
    WriteFile(fallbackFolder() + "/lexivo.ini", "/elsewhere.mdb\r\n");
    const SettingsFile settings(programFolder(), fallbackFolder());
    EXPECT_EQ(settings.read(), "/elsewhere.mdb");
    WriteFile(settingsPath(), "/beside.mdb\r\n");
    EXPECT_EQ(settings.read(), "/beside.mdb");
}

TEST_F(SettingsFileTest, WriteFailureIsReportedNotThrown) {
    const SettingsFile settings(unusableFolder(), unusableFolder());
    EXPECT_FALSE(settings.write(QStringLiteral("/words/english.mdb")));
}

TEST_F(SettingsFileTest, FirstStartWithoutSettingsFile) {
    open();
    for (const char* name : {"Cmb_Letters_0", "Cmb_Letters_1"}) {
        auto* list = find<QComboBox>(name);
        ASSERT_EQ(list->count(), 50);
        EXPECT_EQ(list->currentText(), "(All words)");
        EXPECT_EQ(list->itemText(1), "2 letters");
        EXPECT_EQ(list->itemText(49), "50 letters");
    }
    EXPECT_EQ(find<QGroupBox>("Fme_Search")->title(), "(No Database Loaded)");
    EXPECT_FALSE(find<QGroupBox>("Fme_Search")->isEnabled());
    EXPECT_FALSE(QFile::exists(settingsPath()));
    EXPECT_TRUE(window->close());
    EXPECT_EQ(settingsBytes(), "\r\n");
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SettingsFileTest, DatabaseDeletedBetweenRuns) {
    writeSettings(path("gone.mdb"));
    open();
    EXPECT_EQ(find<QGroupBox>("Fme_Search")->title(), "(No Database Loaded)");
    EXPECT_TRUE(window->database().DatabasePath.isEmpty());
    EXPECT_TRUE(dialogs.shown().empty());
    window->close();
    EXPECT_EQ(settingsBytes(), "\r\n");
}

TEST_F(SettingsFileTest, StartAndCloseAgainKeepsTheDatabase) {
    const QString database = path("my words, big.mdb");
    CreateWordDatabase(database, {"alpha", "beta"});
    writeSettings(database);
    const QByteArray before = settingsBytes();
    open();
    EXPECT_EQ(find<QGroupBox>("Fme_Search")->title(), "my words, big.mdb");
    EXPECT_EQ(find<QLabel>("Status")->text(), "2 words.");
    find<QPushButton>("Cmd_Close")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->database().CurrentDatabase.isOpen());
    EXPECT_EQ(settingsBytes(), before);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(SettingsFileTest, EmptyDatabaseAtStartUpShowsTheWindowAndTheMessage) {
    startWithDatabase({});
    open();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(dialogs.texts(), QStringList{kEmptyDatabaseMessage});
    EXPECT_EQ(find<QLabel>("Status")->text(), "0 words.");
}

TEST_F(SettingsFileTest, ClosingCompletesWhenTheSettingsCannotBeWrittenBesideTheProgram) {
    const QString folder = unusableFolder();
    window = std::make_unique<Frm_Main>(dialogs, folder);
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    QFile::remove(window->settings().fallbackFile());
}

}  // namespace
}  // namespace lexivo::test
