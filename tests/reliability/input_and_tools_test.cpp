// The fuzzers' cases replayed; hostile word lists; the stock sqlite3 tool on what the program wrote.

#include <gtest/gtest.h>

#include <QtWidgets>
#include <stdexcept>

#include "reliability/reliability_support.h"
#include "store/current_database.h"
#include "store/keys.h"
#include "store/maintenance.h"
#include "store/word_editing.h"
#include "support/run_search.h"
#include "targets/fuzz_targets.h"
#include "wordlists/export.h"
#include "wordlists/import.h"

namespace lexivo::test {
namespace {

class FuzzCorpus : public ::testing::TestWithParam<fuzz::Target> {};

TEST_P(FuzzCorpus, EveryCaseReplaysCleanly) {
    const fuzz::Target target = GetParam();
    fuzz::SetFailureHandler([](const std::string& what) { throw std::runtime_error(what); });
    int cases = 0;
    for (const char* folder : {"corpus", "found"}) {
        const QDir dir(QStringLiteral(LEXIVO_FUZZ_DIR "/%1/%2").arg(folder, target.name));
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
            const QByteArray bytes = file.readAll();
            ++cases;
            try {
                target.run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
            } catch (const std::runtime_error& e) {
                ADD_FAILURE() << folder << "/" << target.name << "/" << name.toStdString() << ": " << e.what();
            }
        }
    }
    fuzz::SetFailureHandler(nullptr);
    EXPECT_GT(cases, 0) << "no seed corpus for " << target.name;
    std::printf("[ figure ] fuzz target %s: %d corpus cases replayed\n", target.name, cases);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus, ::testing::ValuesIn(fuzz::kTargets),
                         [](const ::testing::TestParamInfo<fuzz::Target>& param) {
                             return std::string(param.param.name);
                         });

TEST(HostileInput, NulBytesMakeWordsThatCanStillBeFoundAndDeleted) {
    QTemporaryDir dir{MemoryFolderTemplate()};
    DatabaseState state;
    CreateWordDatabase(dir.filePath("words.mdb"));
    OpenWordDatabase(state, dir.filePath("words.mdb"));
    Connection& db = state.CurrentDatabase;
    const QByteArray list("ab\0cd\r\nplain\r\n", 14);
    WriteFile(dir.filePath("list.txt"), list);
    FakeRun run;
    ScriptedDialogs dialogs;
    const auto none = [] { return WordFilter(); };
    ASSERT_TRUE(ImportWords(db, dir.filePath("list.txt"), false, none, run, dialogs).ok());
    const QString word = QString::fromUtf8("ab\0cd", 5);
    EXPECT_EQ(StoredWords(db), QStringList({word, "plain"}));
    for (TestMode mode : {TestMode::Anagram, TestMode::Mask, TestMode::Synogram, TestMode::Letters})
        EXPECT_EQ(RunSearchForTest(db, mode, word), QStringList({word})) << ModeName(mode);
    ASSERT_TRUE(ExportWords(db, dir.filePath("out.txt"), false, none, run, dialogs).ok());
    EXPECT_EQ(ReadFile(dir.filePath("out.txt")), list);
    EXPECT_TRUE(DeleteWords(db, {word}, dialogs).ok()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(StoredWords(db), QStringList({"plain"}));
}

class OtherTools : public ::testing::Test {
protected:
    void SetUp() override {
        tool = QStandardPaths::findExecutable("sqlite3");
        if (tool.isEmpty()) GTEST_SKIP() << "no sqlite3 tool";
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("words.mdb");
    }
    QString sqlite(const QString& sql, bool extension = true) {
        QStringList arguments{"-batch", "-bail", path, sql};
        if (extension) arguments = QStringList{"-cmd", ".load " LEXIVO_SQLITE_EXTENSION} + arguments;
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(tool, arguments);
        process.waitForFinished();
        const QString output = QString::fromUtf8(process.readAll()).trimmed();
        EXPECT_EQ(process.exitCode(), 0) << sql.toStdString() << "\n" << output.toStdString();
        return output;
    }

    QString tool;
    QTemporaryDir dir{MemoryFolderTemplate()};
    QString path;
};

TEST_F(OtherTools, TheStockToolReadsChecksAndWritesWhatTheProgramWrote) {
    CreateWordDatabase(path);
    DatabaseState state;
    OpenWordDatabase(state, path);
    const QString list = dir.filePath("list.txt");
    WriteFile(list, WordListBytes(GeneratedWords(5000, 11) + QStringList{"tea", "eat", "Ate", "o'clock"}));
    ScriptedDialogs dialogs;
    FakeRun run;
    ASSERT_TRUE(ImportWords(
                    state.CurrentDatabase, list, false, [] { return WordFilter(); }, run, dialogs)
                    .ok());
    EXPECT_EQ(AddWord(state.CurrentDatabase, "level", dialogs.yes()), AddResult::Added);
    state.CurrentDatabase.close();

    EXPECT_EQ(sqlite("PRAGMA integrity_check;"), "ok");
    EXPECT_EQ(sqlite("SELECT COUNT(*) FROM Dictionary NOT INDEXED;", false), "5005");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary NOT INDEXED ORDER BY rowid DESC LIMIT 1;", false), "level");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary WHERE Word = 'ATE';"), "Ate");
    EXPECT_EQ(sqlite("SELECT Word FROM Dictionary WHERE Sorted = 'tea' ORDER BY Word;"), "Ate\neat\ntea");
    EXPECT_EQ(sqlite("SELECT COUNT(*) FROM Dictionary WHERE Sorted IS NOT SortString(Word) OR "
                     "Letters IS NOT UniqueChars(SortString(Word));"),
              "0");
    for (const char16_t* text : {u"Ball", u"Übermaß", u"Москва", u"ΣΟΦΊΑς", u"\u212Aſ\u1E9E"}) {
        const QString word = QString::fromUtf16(text);
        const WordKeys keys = KeysOf(word);
        EXPECT_EQ(sqlite(QStringLiteral("SELECT SortString('%1') || '|' || UniqueChars(SortString('%1'));").arg(word)),
                  keys.sorted + '|' + keys.letters);
    }
    const QString plan = sqlite("EXPLAIN QUERY PLAN SELECT Word FROM Dictionary WHERE Word = 'tea';");
    EXPECT_TRUE(plan.contains("USING INDEX Word") || plan.contains("USING COVERING INDEX Word")) << plan.toStdString();
    sqlite("INSERT INTO Dictionary (Word, Sorted, Letters) VALUES ('zebra', 'zreba', 'zreba');");
    sqlite("INSERT INTO Dictionary (Word) VALUES ('pots');");  // no keys: the check will offer to add them
    EXPECT_EQ(sqlite("PRAGMA integrity_check;"), "ok");

    RecordingView view;
    state.DatabasePath = path;
    dialogs.clear();
    ASSERT_TRUE(LoadDatabase(state, view, dialogs));
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(view.status, "5007 words.");
    EXPECT_EQ(RunSearchForTest(state.CurrentDatabase, TestMode::Anagram, "bazer"), QStringList({"zebra"}));
    EXPECT_EQ(CheckDatabase(state.CurrentDatabase, run, dialogs.yes()), CheckResult::Rebuilt);
    EXPECT_EQ(StoredKeys(state.CurrentDatabase, "pots"), "tspo|tspo");
    state.CurrentDatabase.close();
    EXPECT_EQ(sqlite("SELECT Letters FROM Dictionary WHERE Word = 'pots';"), "tspo");
}

}  // namespace
}  // namespace lexivo::test
