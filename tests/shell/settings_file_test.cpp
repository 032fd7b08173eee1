#include "shell/settings_file.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>

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

TEST_F(SettingsFileTest, OneLineEndedByCrLfReadWhole) {
    const SettingsFile settings(programFolder(), fallbackFolder());
    for (const QString& name :
         {QStringLiteral("/words/english.mdb"), QStringLiteral("/wörter/français.mdb"), QString()}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(settings.write(name));
        EXPECT_EQ(settingsBytes(), QFile::encodeName(name) + "\r\n");
        EXPECT_EQ(settings.read(), name);
    }
    EXPECT_FALSE(QFile::exists(settings.fallbackFile()));
    const std::pair<QByteArray, QString> files[] = {
        {"/my words/list, big ,one.mdb\r\nsecond line\r\n", "/my words/list, big ,one.mdb"},
        {"/no/line/end.mdb", "/no/line/end.mdb"},
        {"", ""},
    };
    for (const auto& [bytes, read] : files) {
        WriteFile(settingsPath(), bytes);
        EXPECT_EQ(settings.read(), read) << bytes.toStdString();
    }
    QFile::remove(settingsPath());
    EXPECT_EQ(settings.read(), "");
}

TEST_F(SettingsFileTest, ConfigurationFolderStandsInForAnUnusableProgramFolder) {
    const SettingsFile settings(unusableFolder(), fallbackFolder());
    ASSERT_TRUE(settings.write(QStringLiteral("/words/english.mdb")));
    EXPECT_EQ(ReadFile(fallbackFolder() + "/lexivo.ini"), "/words/english.mdb\r\n");
    EXPECT_EQ(settings.read(), "/words/english.mdb");
    // Read there also when the program's folder has none, but the file beside the program comes first.
    const SettingsFile beside(programFolder(), fallbackFolder());
    EXPECT_EQ(beside.read(), "/words/english.mdb");
    WriteFile(settingsPath(), "/beside.mdb\r\n");
    EXPECT_EQ(beside.read(), "/beside.mdb");
    // A write that fails everywhere is reported, not thrown.
    EXPECT_FALSE(SettingsFile(unusableFolder(), unusableFolder()).write(QStringLiteral("/words/english.mdb")));
}

TEST_F(SettingsFileTest, StartWithoutADatabaseAndForgetOneDeletedBetweenRuns) {
    for (const bool deleted : {false, true}) {
        SCOPED_TRACE(deleted);
        if (deleted) writeSettings(path("gone.mdb"));
        open();
        EXPECT_EQ(window->Fme_Search->title(), "(No Database Loaded)");
        EXPECT_FALSE(window->Fme_Search->isEnabled());
        EXPECT_TRUE(window->database().DatabasePath.isEmpty());
        EXPECT_EQ(QFile::exists(settingsPath()), deleted);
        EXPECT_TRUE(window->close());
        EXPECT_EQ(settingsBytes(), "\r\n");
        EXPECT_TRUE(dialogs.shown().empty());
    }
}

TEST_F(SettingsFileTest, ClosingCompletesWhenTheSettingsCannotBeWrittenBesideTheProgram) {
    window = std::make_unique<Frm_Main>(dialogs, unusableFolder());
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());
    QFile::remove(window->settings().fallbackFile());
}

}  // namespace
}  // namespace lexivo::test
