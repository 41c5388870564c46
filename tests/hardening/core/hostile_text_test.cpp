// Hostile database contents in well-formed archives: index lists that cannot
// serve every game, and member texts with zero bytes and megabyte lines, from
// the fetch through line splitting and tab expansion to the print-out's lines.
#include <gtest/gtest.h>

#include "database/DatabaseSession.h"
#include "database/codes_text.h"
#include "database/database_constants.h"
#include "hostile_zip.h"
#include "printing/base_report.h"
#include "printing/codes_layout.h"
#include "printing/memo_buf.h"
#include "printing/report_device.h"

namespace hk::hardening {
namespace {

using hk::database::DatabaseSession;
using namespace std::string_literals;

TEST(HostileIndex, ListsThatCannotServeTheGamesFailWithTheDamagedMessage) {
    const std::string games = "A (PC)\r\nB (PC)\r\n";
    const std::string files = "a.txt\r\nb.txt\r\n";
    const std::string pitches = "1\r\n0\r\n";
    const std::string version = "Hintkeeper v1.30\r\n";
    struct Case {
        const char* what;
        std::string games, files, pitches, version;
    };
    const std::vector<Case> cases = {
        {"files.txt shorter than games.txt", games, "a.txt\r\n", pitches, version},
        {"pitches.txt shorter than games.txt", games, files, "1", version},
        {"empty games.txt", "", files, pitches, version},
        {"games.txt of a zero byte only", std::string(1, '\0'), files, pitches, version},
        {"empty version.txt", games, files, pitches, ""},
        {"version.txt of line ends only", games, files, pitches, "\r\n\r\n"},
        {"version tag after a zero byte", games, files, pitches, std::string("\0", 1) + version},
        {"version tag with a zero byte inside", games, files, pitches,
         std::string("Hintkeeper\0v1.30", 16)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Folder dir;
        WriteBytes(dir / "hintkeeper.dat",
                   Zip({Stored("games.txt", c.games), Stored("files.txt", c.files),
                        Stored("pitches.txt", c.pitches), Stored("version.txt", c.version),
                        Stored("a.txt", "a"), Stored("b.txt", "b")}));
        DatabaseSession session(dir.programFolder());
        std::vector<std::string> titles;
        EXPECT_FALSE(session.LoadIndex(titles));
        EXPECT_EQ(session.ErrorMessage(), hk::database::kDamagedMessage);
    }
}

TEST(HostileText, ZeroBytesEndTheTextAndLongLinesStayWhole) {
    Folder dir;
    const std::string megabyteLine(1 << 20, 'x');
    const std::string tabs(1 << 20, '\t');
    std::vector<Member> members = IndexMembers({{"z.txt", "1", "Z (PC)"}});
    members.push_back(Stored("z.txt", "before\r\nzero\0after\r\nnever\r\n"s));
    members.push_back(Stored("long.txt", megabyteLine + "\r\n" + megabyteLine));
    members.push_back(Stored("tabs.txt", tabs));
    members.push_back(Stored("lf.txt", std::string(1 << 20, '\n')));
    WriteBytes(dir / "hintkeeper.dat", Zip(members));
    DatabaseSession session(dir.programFolder());

    const auto zero = session.FetchMember("z.txt");
    ASSERT_TRUE(zero.ok());
    EXPECT_EQ(zero.lines, (std::vector<std::string>{"before", "zero"}));

    const auto longLines = session.FetchMember("long.txt");
    ASSERT_TRUE(longLines.ok());
    ASSERT_EQ(longLines.lines.size(), 2u);
    EXPECT_EQ(longLines.lines[1], megabyteLine);

    // A megabyte of TABs becomes eight megabytes of spaces, once.
    const auto tabLines = session.FetchMember("tabs.txt");
    ASSERT_TRUE(tabLines.ok());
    ASSERT_EQ(tabLines.lines.size(), 1u);
    const std::string expanded = hk::database::ExpandTabs(tabLines.lines[0]);
    EXPECT_EQ(expanded.size(), size_t{8} << 20);
    EXPECT_EQ(expanded.find_first_not_of(' '), std::string::npos);

    // A million empty lines are a million lines.
    const auto empty = session.FetchMember("lf.txt");
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.lines.size(), size_t{1} << 20);
}

// Every byte is 10 pixels wide; fonts and pages are counted, nothing drawn is kept.
class CountingDevice : public hk::printing::ReportDevice {
  public:
    hk::printing::DeviceKind Kind() const override { return hk::printing::DeviceKind::Printer; }
    double ResolutionX() const override { return 100; }
    double ResolutionY() const override { return 100; }
    int PrintableWidth() const override { return 800; }
    int PrintableHeight() const override { return 1100; }
    int OffsetLeft() const override { return 0; }
    int OffsetTop() const override { return 0; }
    int CreateFont(const hk::printing::DeviceFontRequest& r,
                   hk::printing::DeviceFontMetrics& m) override {
        m.ascent = 0.8 * r.emHeight;
        m.descent = 0.2 * r.emHeight;
        return ++fonts;
    }
    void SelectFont(int) override {}
    void DeleteFont(int) override {}
    double TextWidth(std::string_view text) override { return 10.0 * text.size(); }
    void DrawText(double, double, std::string_view text, std::uint32_t) override {
        ++lines;
        longest = std::max(longest, text.size());
    }
    void StartPage() override { ++pages; }
    void AbortDoc() override {}
    std::string DeviceName() const override { return "Counting"; }
    std::string DriverName() const override { return "count"; }
    std::string PortName() const override { return "NUL:"; }

    int fonts = 0;
    int pages = 0;
    size_t lines = 0;
    size_t longest = 0;
};

TEST(HostileText, MemoBufferBreaksAHugeWordAndStopsAtTheEnd) {
    CountingDevice device;
    hk::printing::TBaseReport report(device);
    report.StartDocument();
    report.SelectFont("Mono", 14.4);
    hk::printing::TMemoBuf memo;
    memo.BaseReport = &report;
    memo.PrintStart = 1.0;
    memo.PrintEnd = 1.99;  // ten bytes a line
    // A word far longer than one token, then blanks far more than one token
    // holds, a zero byte and more text.
    std::string text(120000, 'w');
    text += std::string(70000, ' ') + "tail" + std::string(1, '\0') + "end";
    memo.LoadText(text);
    memo.PrintLines(0, false);
    EXPECT_EQ(memo.ReadPosition(), memo.TextLength());
    EXPECT_LE(device.longest, 10u);
    EXPECT_GE(device.lines, 12000u);
    report.EndDocument();
}

}  // namespace
}  // namespace hk::hardening
