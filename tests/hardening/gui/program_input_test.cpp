// The program started as a user would, in a folder of its own, with hostile
// databases, splash bitmaps and command lines: it either shows the database
// message and ends with status 1, or runs and closes normally. It never
// crashes, never hangs, and writes nothing into its folder or the working one.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <set>

#include "archive/member_output.h"
#include "hostile_zip.h"

namespace hk::hardening {
namespace {

const QString kDamaged = QStringLiteral(
    "text: Ошибка при открытии файла \"hintkeeper.dat\". Возможно файл запорчен или "
    "предназначен для другой версии программы.\n");
const QString kMissing =
    QStringLiteral("text: Ошибка открытия файла \"hintkeeper.dat\". Файл не найден.\n");

struct Outcome {
    bool finished = false;
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out;
    QString err;  // what a sanitizer or Qt said, for the failure message
};

class ProgramInput : public ::testing::Test {
  protected:
    QTemporaryDir folder, work;
    QString program;

    void SetUp() override {
        ASSERT_TRUE(folder.isValid() && work.isValid());
        program = folder.filePath("hintkeeper");
        ASSERT_TRUE(QFile::copy(HK_PROBE_PATH, program));
    }
    fs::path Path(const char* name) const { return fs::path(folder.path().toStdString()) / name; }
    static std::set<std::string> Listing(const QString& dir) {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir.toStdString()))
            names.insert(e.path().string());
        return names;
    }
    void WriteArchive(const std::vector<uint8_t>& bytes) {
        WriteBytes(Path("hintkeeper.dat"), bytes);
    }

    // Runs the program; "close" as the last argument closes the window once
    // it has been shown. Checks that nothing new appeared on disk.
    Outcome Run(QStringList args) {
        const auto programBefore = Listing(folder.path());
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
        p.start(program, args);
        Outcome r;
        r.finished = p.waitForFinished(240000);
        if (!r.finished) {
            p.kill();
            p.waitForFinished();
        }
        r.exitCode = p.exitCode();
        r.status = p.exitStatus();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError()).right(4000);
        EXPECT_EQ(Listing(folder.path()), programBefore) << "the program folder changed";
        EXPECT_TRUE(Listing(work.path()).empty()) << "the working folder changed";
        return r;
    }
    void ExpectDatabaseFailure(const Outcome& r, const QString& message) {
        ASSERT_TRUE(r.finished) << "hung";
        ASSERT_EQ(r.status, QProcess::NormalExit) << r.out.toStdString();
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.contains("caption: Error\n")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(message)) << r.out.toStdString();
        EXPECT_EQ(r.out.count("caption: Error\n"), 1) << "one message, then the end";
    }
    void ExpectRunsAndCloses(const Outcome& r, int games = 1) {
        ASSERT_TRUE(r.finished) << "hung";
        ASSERT_EQ(r.status, QProcess::NormalExit) << r.out.toStdString();
        EXPECT_EQ(r.exitCode, 0) << r.out.toStdString() << r.err.toStdString();
        EXPECT_FALSE(r.out.contains("caption: Error")) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("games: %1\n").arg(games)))
            << r.out.toStdString();
    }
};

const std::vector<std::vector<std::string>> kOneGame = {{"g.txt", "1", "Doom (PC)"}};

std::vector<uint8_t> DatabaseWith(Member game) {
    std::vector<Member> members = IndexMembers(kOneGame);
    members.push_back(std::move(game));
    return Zip(members);
}

TEST_F(ProgramInput, UnusableDatabasesEndWithTheDamagedMessage) {
    const std::string games = "A (PC)\r\nB (PC)\r\n";
    const std::string files = "a.txt\r\nb.txt\r\n";
    const std::string pitches = "1\r\n0\r\n";
    const std::string version = "Hintkeeper v1.30\r\n";
    auto database = [](const std::string& g, const std::string& f, const std::string& p,
                       const std::string& v) {
        return Zip({Stored("games.txt", g), Stored("files.txt", f), Stored("pitches.txt", p),
                    Stored("version.txt", v), Stored("a.txt", "a"), Stored("b.txt", "b")});
    };
    std::vector<Member> bombed = IndexMembers(kOneGame);
    bombed[0] = Packed("games.txt", 8, DeflateZeros(hk::archive::kMemberCeiling / 258 + 64), 9);
    std::vector<Entry> shared;
    for (size_t i = 1; i < 4; ++i) shared.push_back({i, bombed[i].name});
    for (int i = 0; i < 4; ++i) shared.push_back({0, "games.txt"});
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"files.txt shorter than games.txt", database(games, "a.txt\r\n", pitches, version)},
        {"empty games.txt", database("", files, pitches, version)},
        {"empty version.txt", database(games, files, pitches, "")},
        {"games.txt expanding past the ceiling", Zip(bombed)},
        {"games.txt listed four times over one bomb", Zip(bombed, shared)},
        {"empty file", {}},
        {"end record only", Zip({})},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        WriteArchive(bytes);
        ExpectDatabaseFailure(Run({"-ns"}), kDamaged);
    }
    fs::remove(Path("hintkeeper.dat"));
    fs::create_directory(Path("hintkeeper.dat"));
    SCOPED_TRACE("a folder where the archive should be");
    ExpectDatabaseFailure(Run({"-ns"}), kMissing);
}

TEST_F(ProgramInput, DamagedGameTextsAreShownAsDecoded) {
    BitWriter shrink;  // a string that refers to itself: stack overflow
    shrink.put('A', 9), shrink.put('B', 9), shrink.put(257, 9), shrink.put(256, 9);
    shrink.put(2, 9), shrink.put('A', 9), shrink.put(257, 9);
    const std::pair<const char*, Member> cases[] = {
        {"expanding past the ceiling",
         Packed("g.txt", 8, DeflateZeros(hk::archive::kMemberCeiling / 258 + 64), 5)},
        // Lines of 64 KiB; megabyte lines are checked below the view, whose
        // text layout alone takes tens of seconds over one.
        {"long lines with TABs",
         Stored("g.txt", std::string(1 << 16, 'x') + "\r\n" + std::string(1 << 13, '\t'))},
        {"zero bytes", Stored("g.txt", std::string("IDDQD\r\n\0\0\0god\r\n", 14))},
        {"shrink stack overflow", Packed("g.txt", 1, shrink.bytes(), 100)},
        {"unknown method", Packed("g.txt", 97, {1, 2, 3}, 3)},
    };
    for (const auto& [what, member] : cases) {
        SCOPED_TRACE(what);
        WriteArchive(DatabaseWith(member));
        ExpectRunsAndCloses(Run({"-ns", "close"}));
    }
}

TEST_F(ProgramInput, PipesInPlaceOfTheFilesBesideTheProgramDoNotStopIt) {
    {
        PipeWatchdog archive(Path("hintkeeper.dat"));
        ExpectDatabaseFailure(Run({"-ns"}), kDamaged);
        EXPECT_FALSE(archive.Released()) << "the program waited on the archive pipe";
    }
    fs::remove(Path("hintkeeper.dat"));
    WriteArchive(DatabaseWith(Stored("g.txt", "IDDQD\r\n")));
    PipeWatchdog bitmap(Path("hintkeeper.bmp"));
    ExpectRunsAndCloses(Run({"close"}));
    EXPECT_FALSE(bitmap.Released()) << "the splash waited on the bitmap pipe";
}

TEST_F(ProgramInput, SplashBitmapsThatAreNoPicturesAreIgnored) {
    WriteArchive(DatabaseWith(Stored("g.txt", "IDDQD\r\n")));
    // A real 40 x 30 bitmap, to cut short and to lie about.
    std::vector<uint8_t> bmp = {'B', 'M'};
    const int w = 40, h = 30, stride = w * 3;
    put32(bmp, 54 + stride * h);
    put32(bmp, 0);
    put32(bmp, 54);
    put32(bmp, 40);
    put32(bmp, w);
    put32(bmp, h);
    put16(bmp, 1);
    put16(bmp, 24);
    put32(bmp, 0);
    put32(bmp, stride * h);
    for (int i = 0; i < 4; ++i) put32(bmp, 0);
    bmp.resize(54 + stride * h, 0x80);
    auto huge = bmp;  // claims 60000 x 60000
    for (int i = 0; i < 4; ++i) {
        huge[18 + i] = static_cast<uint8_t>(60000 >> (8 * i));
        huge[22 + i] = static_cast<uint8_t>(60000 >> (8 * i));
    }
    auto tall = bmp;  // claims a height of -2^31
    tall[22] = tall[23] = tall[24] = 0, tall[25] = 0x80;
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"text", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'i', 't', 'm', 'a', 'p'}},
        {"empty", {}},
        {"header only", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 54)},
        {"pixels cut short", std::vector<uint8_t>(bmp.begin(), bmp.begin() + 54 + stride * 3)},
        {"huge dimensions", huge},
        {"negative height", tall},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        WriteBytes(Path("hintkeeper.bmp"), bytes);
        ExpectRunsAndCloses(Run({"close"}));
    }
}

TEST_F(ProgramInput, CommandLinesOfAnyShapeStartTheProgram) {
    WriteArchive(DatabaseWith(Stored("g.txt", "IDDQD\r\n")));
    QStringList many;
    for (int i = 0; i < 2000; ++i) many << QStringLiteral("/x%1").arg(i);
    const std::pair<const char*, QStringList> cases[] = {
        {"one long argument", {QString(100000, 'n'), "-ns", "close"}},
        {"thousands of arguments", many + QStringList{"-NS", "close"}},
        {"empty, spaces and odd letters", {"", "  ", "-ns\t", "/нс", "--ns", "-", "close"}},
        {"hostile file names", {"../../etc/passwd", "hintkeeper.dat", "*", "-ns", "close"}},
    };
    for (const auto& [what, args] : cases) {
        SCOPED_TRACE(what);
        ExpectRunsAndCloses(Run(args));
    }
}

}  // namespace
}  // namespace hk::hardening
