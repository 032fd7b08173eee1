#include "common/settings_file.h"

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

// An installed program (its desktop entry under ../share/applications) writes the configuration folder even
// where it could write its own, and reads nothing beside itself.
TEST_F(SettingsFileTest, InstalledProgramKeepsItsSettingsInTheConfigurationFolder) {
    WriteFile(settingsPath(), "/beside.mdb\r\n");
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("share/applications")));
    WriteFile(path(QStringLiteral("share/applications/lexivo.desktop")), "[Desktop Entry]\n");
    const SettingsFile installed(programFolder(), fallbackFolder());
    EXPECT_EQ(installed.read(), "");
    ASSERT_TRUE(installed.write(QStringLiteral("/words/english.mdb")));
    EXPECT_EQ(ReadFile(fallbackFolder() + "/lexivo.ini"), "/words/english.mdb\r\n");
    EXPECT_EQ(settingsBytes(), "/beside.mdb\r\n");
    EXPECT_EQ(installed.writableFolder(), fallbackFolder());
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

// A database named on the command line is opened as File Open opens it: the same messages, the same state after
// them; the settings file records it at shutdown.
TEST_F(SettingsFileTest, ADatabaseNamedAtStartUpIsOpenedAsFileOpenOpensIt) {
    startWithDatabase({"cat"}, "last.mdb");
    CreateWordDatabase(path("named.mdb"), {"tea", "eat"});
    CreateWordDatabase(path("empty.mdb"), {});
    WriteFile(path("plain.txt"), "not a database");
    for (const QString& name : {QStringLiteral("named.mdb"), QStringLiteral("empty.mdb"), QStringLiteral("plain.txt"),
                                QStringLiteral("missing.mdb")}) {
        SCOPED_TRACE(name.toStdString());
        const QString file = path(name);
        dialogs.clear();
        window = std::make_unique<Frm_Main>(dialogs, programFolder(), StartUpFiles{file, {}});
        const QStringList started = dialogs.texts();
        const QString startedPath = window->database().DatabasePath;
        const QString startedStatus = window->Status->text() + window->Fme_Search->title();
        ASSERT_TRUE(window->close());
        EXPECT_EQ(settingsBytes(), QFile::encodeName(startedPath) + "\r\n");

        writeSettings(QString());
        open();
        dialogs.clear();
        dialogs.fileName(file);
        window->Mnu_File_Open->trigger();
        EXPECT_EQ(QStringList(dialogs.texts().mid(1)), started);
        EXPECT_EQ(window->database().DatabasePath, startedPath);
        EXPECT_EQ(window->Status->text() + window->Fme_Search->title(), startedStatus);
        EXPECT_EQ(startedPath.isEmpty(), name == "plain.txt" || name == "missing.mdb");
        EXPECT_EQ(started.isEmpty(), name == "named.mdb");
    }
}

// The default database stands in only where the settings name no database that exists.
TEST_F(SettingsFileTest, TheDefaultDatabaseOpensWhenTheSettingsNameNoneThatExists) {
    const QString fallback = path("default.mdb");
    CreateWordDatabase(fallback, {"listen", "silent"});
    const QString other = path("other.mdb");
    CreateWordDatabase(other, {"cat"});
    const std::pair<QString, QString> cases[] = {{QString(), fallback}, {path("gone.mdb"), fallback}, {other, other}};
    for (const auto& [named, opened] : cases) {
        writeSettings(named);
        window = std::make_unique<Frm_Main>(dialogs, programFolder(), StartUpFiles{{}, fallback});
        EXPECT_EQ(window->database().DatabasePath, opened) << named.toStdString();
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
}  // namespace lexivo::test
