// lexivo-cli's levels, define and score options, on the SCOWL lists of tests/fixtures and a WordNet folder
// without files.

#include <gtest/gtest.h>

#include "support/cli_process.h"

namespace lexivo::test {
namespace {

class LexiconCli : public CliFixture {
protected:
    LexiconCli() : CliFixture({"attempt", "brave", "chisel", "quiz", "jazz", "zit", "tea"}) {}
};

TEST_F(LexiconCli, LevelsThenALevelLimitAndScores) {
    const QString scowl = QStringLiteral(LEXIVO_SOURCE_DIR "/tests/fixtures/scowl");
    const QByteArray before = ReadFile(database);
    CliResult r = on({"levels", path("none")});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_TRUE(r.error().contains("does not exist")) << r;
    EXPECT_EQ(ReadFile(database), before);
    r = on({"levels", scowl, "--spelling", "british"});
    EXPECT_EQ(r.code, 0) << r;
    EXPECT_EQ(on({"mask", "*", "--max-level", "35"}).lines(), QStringList({"attempt", "chisel"}));
    r = on({"levels", scowl});
    EXPECT_EQ(on({"mask", "*", "--max-level", "20"}).lines(), QStringList({"attempt", "brave"}));
    EXPECT_EQ(on({"mask", "*", "--score", "--sort", "score", "--min-score", "12"}).lines(),
              QStringList({"jazz\t29", "quiz\t22", "zit\t12"}));
    EXPECT_EQ(on({"rack", "qui?", "--score"}).lines(), QStringList({"quiz\t12"}));
    test::WriteFile(path("tiles.txt"), "q 1\nu one\n");
    r = on({"rack", "quiz", "--score", "--tiles", path("tiles.txt")});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_TRUE(r.error().contains("line 2")) << r;
}

TEST_F(LexiconCli, DefineWithoutWordNetNamesThePackage) {
    CliRunner bare = runner;
    bare.environment.insert("WNSEARCHDIR", path("none"));
    const CliResult r = bare.run({"define", "run"});
    EXPECT_EQ(r.code, 1) << r;
    EXPECT_TRUE(r.error().contains("wordnet-base")) << r;
}

}  // namespace
}  // namespace lexivo::test
