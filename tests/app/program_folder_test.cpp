// The program finds its database beside the real executable, not beside a
// link to it: the package puts /usr/bin/hintkeeper as a relative link into
// /usr/lib/hintkeeper/, where the database lies.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "test_database.h"

namespace {

namespace fs = std::filesystem;

TEST(ProgramFolder, StartedThroughARelativeLinkTheProgramReadsTheDatabaseBesideItself) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path top = dir.path().toStdString();
    fs::create_directories(top / "usr/lib/hintkeeper");
    fs::create_directories(top / "usr/bin");
    fs::copy_file(HK_PROBE_PATH, top / "usr/lib/hintkeeper/hintkeeper");
    hk::testing::WriteTestDatabase((top / "usr/lib/hintkeeper/hintkeeper.dat").string(),
                                   {{"Doom (PC)", "1", {"IDDQD"}}, {"Quake (PC)", "0", {"god"}}});
    fs::create_symlink("../lib/hintkeeper/hintkeeper", top / "usr/bin/hintkeeper");
    // A damaged database beside the link would end the program if it were read.
    std::ofstream(top / "usr/bin/hintkeeper.dat") << "PK\x03\x04 not this one";

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(dir.path());
    p.start(QString::fromStdString((top / "usr/bin/hintkeeper").string()), {"-ns", "close"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const std::string out = p.readAllStandardOutput().toStdString();
    EXPECT_EQ(p.exitCode(), 0) << out;
    EXPECT_NE(out.find("games: 2\n"), std::string::npos) << out;
}

}  // namespace
