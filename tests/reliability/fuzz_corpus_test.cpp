// Every seed of the fuzzers and every case they have found (fuzz/corpus/<target>, fuzz/found/<target>) run
// through the same target functions, built here by the ordinary compiler: a fixed fault stays fixed.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <stdexcept>

#include "targets/fuzz_targets.h"

namespace lexivo {
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

}  // namespace
}  // namespace lexivo
