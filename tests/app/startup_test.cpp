// The real program in a folder of its own, as a user would start it: how it
// ends when its database is missing or damaged, and that it runs on a good one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "test_database.h"

namespace {

struct Outcome {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out;
};

class ProgramStart : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString program;

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        program = dir.filePath("hintkeeper");
        ASSERT_TRUE(QFile::copy(HK_PROBE_PATH, program));
    }
    Outcome Start(const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(program, args);
        Outcome r;
        if (!p.waitForFinished(60000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.exitCode = p.exitCode();
        r.status = p.exitStatus();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        return r;
    }
    static std::vector<hk::testing::TestGame> Games() {
        return {{"Doom (PC)", "1", {"IDDQD\tбессмертие"}}, {"Quake (PC)", "0", {"god"}}};
    }
};

TEST_F(ProgramStart, MissingArchiveShowsNotFoundAndExitsWithOne) {
    const Outcome r = Start({"-ns"});
    ASSERT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("caption: Error\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("icon: 3\n"));  // critical
    EXPECT_TRUE(r.out.contains("buttons: OK\n"));
    EXPECT_TRUE(r.out.contains("text: Ошибка открытия файла \"hintkeeper.dat\". Файл не найден.\n"))
        << r.out.toStdString();
    // The window stands behind the message.
    EXPECT_TRUE(r.out.contains("main visible: 1"));
}

TEST_F(ProgramStart, DamagedArchiveShowsDamagedMessage) {
    QFile f(dir.filePath("hintkeeper.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PK\x03\x04 this is no archive at all");
    f.close();
    const Outcome r = Start({"/NS"});
    ASSERT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains(
        "text: Ошибка при открытии файла \"hintkeeper.dat\". Возможно файл запорчен или "
        "предназначен для другой версии программы.\n"))
        << r.out.toStdString();
}

TEST_F(ProgramStart, GameWhoseMemberIsMissingEndsTheProgramAfterTheView) {
    // The index loads, but the first game's member is not in the archive.
    hk::pack::DatabaseSources sources;
    sources.games.push_back({"absent.txt", "0", "Absent"});
    sources.texts.emplace_back("other.txt", "x\r\n");
    std::FILE* f = std::fopen(dir.filePath("hintkeeper.dat").toLocal8Bit().constData(), "wb");
    ASSERT_TRUE(f);
    hk::pack::FileSink sink(f);
    hk::pack::WriteDatabase(sources, sink, {});
    std::fclose(f);
    const Outcome r = Start({"-ns"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.contains("text: Ошибка при открытии")) << r.out.toStdString();
}

TEST_F(ProgramStart, GoodDatabaseShowsSplashThenWindowAndClosesCleanly) {
    hk::testing::WriteTestDatabase(dir.filePath("hintkeeper.dat").toStdString(), Games());
    const Outcome r = Start({"close"});
    ASSERT_EQ(r.status, QProcess::NormalExit);
    EXPECT_EQ(r.exitCode, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("header: Список игр (всего: 2)\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("title: Hintkeeper v1.30\n"));
    EXPECT_FALSE(r.out.contains("caption: Error"));
}

}  // namespace
