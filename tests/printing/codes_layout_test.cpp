#include <gtest/gtest.h>

#include <cmath>

#include "printing/codes_layout.h"
#include "printing/file_printer.h"
#include "printing/report_filer.h"
#include "test_device.h"

using namespace hk::printing;
using hk::printing::testing::A4Device;
using hk::printing::testing::TestDevice;

TEST(CodesHeadingSplit, OneCharacterBeforeTheParenthesisIsDropped) {
    auto h = SplitHeading("Space Race (PC)");
    EXPECT_EQ(h.first, "Space Race");
    EXPECT_EQ(h.second, "PC");
    h = SplitHeading("Race(PC)");
    EXPECT_EQ(h.first, "Rac");
    EXPECT_EQ(h.second, "PC");
    h = SplitHeading("Doom II");  // no "(": everything but the last character
    EXPECT_EQ(h.first, "");
    EXPECT_EQ(h.second, "Doom I");
    h = SplitHeading("A(x) (y)");  // the first "(" decides
    EXPECT_EQ(h.first, "");
    EXPECT_EQ(h.second, "x) (y");
    h = SplitHeading("(");
    EXPECT_EQ(h.first, "");
    EXPECT_EQ(h.second, "");
    EXPECT_EQ(SplitHeading("").second, "");
}

namespace {

// Records the print-out on an A4 test device with the program's settings.
struct Printout {
    TestDevice dev = A4Device();
    PageStream stream;
    TReportFiler filer{dev, stream};
    CodesReport codes;

    explicit Printout(std::vector<std::string> lines, bool fixed = true,
                      std::string entry = "Space Race (PC)") {
        filer.AccuracyMethod = amPositioning;
        filer.SetLineHeightMethod(lhmFont);
        filer.SetMarginBottom(15);
        filer.SetMarginLeft(15);
        filer.SetMarginRight(10);
        filer.SetMarginTop(10);
        filer.SetUnits(unMM);
        codes.SelectedEntry = std::move(entry);
        codes.FixedPitch = fixed;
        codes.ViewLines = std::move(lines);
        filer.OnPrint = [this](TBaseReport& r) { codes.ReportSystem1Print(r); };
        filer.Execute();
    }
};

std::vector<std::string> Numbered(int n) {
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i) lines.push_back("line " + std::to_string(i));
    return lines;
}

}  // namespace

TEST(CodesPrintoutLayout, HeadingIsCentredOnThePaperInArial16And14) {
    Printout p({"IDDQD - god mode"});
    ASSERT_EQ(p.stream.pages.size(), 1u);
    const auto& texts = p.stream.pages[0].texts;
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].run.text, "Space Race");
    EXPECT_EQ(texts[0].font.face, "Arial");
    EXPECT_DOUBLE_EQ(texts[0].font.size, 16);
    EXPECT_EQ(texts[1].run.text, "PC");
    EXPECT_DOUBLE_EQ(texts[1].font.size, 14);
    // Centred on 105 mm, half the paper, not on the 107.5 mm between the margins.
    const double centre0 = (texts[0].run.x + texts[0].run.width / 2) * 25.4;
    const double centre1 = (texts[1].run.x + texts[1].run.width / 2) * 25.4;
    EXPECT_NEAR(centre0, 105, 1e-6);
    EXPECT_NEAR(centre1, 105, 1e-6);
    // Body: Courier New 10 fixed pitch from the left margin; two line feeds
    // in the 14-point height leave one empty line, and the body line keeps
    // the top of the line it realigns.
    EXPECT_EQ(texts[2].run.text, "IDDQD - god mode");
    EXPECT_EQ(texts[2].font.face, "Courier New");
    EXPECT_EQ(texts[2].font.pitch, fpFixed);
    EXPECT_NEAR(texts[2].run.x * 25.4, 15, 1e-9);
    const double top1 = 10 + 16 / 60.0 * 25.4;  // bottom of the first heading line
    const double bodyTop = top1 + 2 * 14 / 60.0 * 25.4;
    const double descent = 0.2 * 10 / 72.0 * 25.4;  // the test device's descent
    EXPECT_NEAR(texts[2].run.baseline * 25.4, bodyTop + 10 / 60.0 * 25.4 - descent, 1e-6);
    EXPECT_EQ(p.codes.RowCounter, 1);
}

TEST(CodesPrintoutLayout, ProportionalModeUsesArial12) {
    Printout p({"abc"}, false);
    const auto& body = p.stream.pages[0].texts.back();
    EXPECT_EQ(body.font.face, "Arial");
    EXPECT_DOUBLE_EQ(body.font.size, 12);
    EXPECT_EQ(body.font.pitch, fpVariable);
}

TEST(CodesPrintoutLayout, EmptyViewPrintsTheHeadingOnlyAndOneEmptyLineNothingVisible) {
    Printout none({});
    ASSERT_EQ(none.stream.pages.size(), 1u);
    EXPECT_EQ(none.stream.pages[0].texts.size(), 2u);
    EXPECT_EQ(none.codes.RowCounter, 1);  // the row pass still asks once

    Printout blank({""}, true, "Tetris");
    ASSERT_EQ(blank.stream.pages.size(), 1u);
    EXPECT_EQ(blank.stream.pages[0].texts.size(), 1u);  // an empty first heading line is not drawn
    EXPECT_EQ(blank.stream.pages[0].texts[0].run.text, "Tetri");
}

TEST(CodesPrintoutLayout, EachPageHoldsExactlyTheLinesRemaining) {
    const int total = 200;
    Printout p(Numbered(total));
    const double lh = 10 / 60.0 * 25.4;  // mm
    const double section = 297 - 10 - 15;
    const int perPage = static_cast<int>(std::floor(section / lh));
    const double headingMm = 16 / 60.0 * 25.4 + 2 * 14 / 60.0 * 25.4;
    const int firstPage = static_cast<int>(std::floor((section - headingMm) / lh));
    ASSERT_EQ(p.stream.pages.size(), 1u + (total - firstPage + perPage - 1) / perPage);
    EXPECT_EQ(p.stream.pages[0].texts.size(), 2u + firstPage);
    EXPECT_EQ(p.stream.pages[1].texts.size(), static_cast<size_t>(perPage));
    // Continuation pages start at the top margin with the next line, no heading.
    const auto& top = p.stream.pages[1].texts[0];
    EXPECT_EQ(top.run.text, "line " + std::to_string(firstPage + 1));
    const double descent = 0.2 * 10 / 72.0 * 25.4;
    EXPECT_NEAR(top.run.baseline * 25.4, 10 + lh - descent, 1e-6);
    // Every line lands inside the section, and none is lost or repeated.
    int count = 0;
    for (const auto& page : p.stream.pages)
        for (const auto& t : page.texts) {
            if (t.font.face != "Courier New") continue;
            ++count;
            EXPECT_EQ(t.run.text, "line " + std::to_string(count));
            EXPECT_LE(t.run.baseline * 25.4 + descent, 282 + 1e-6);
        }
    EXPECT_EQ(count, total);
    EXPECT_EQ(p.codes.RowCounter, total);
}

TEST(CodesPrintoutLayout, LongLinesBreakToThePageWidth) {
    std::string longLine;
    for (int i = 0; i < 60; ++i) longLine += "word ";
    Printout p({longLine});
    // 185 mm at ten pixels per mm, Courier 10 at 254 dpi: 17.6 px per byte.
    const auto& texts = p.stream.pages[0].texts;
    ASSERT_GT(texts.size(), 3u);
    for (std::size_t i = 2; i < texts.size(); ++i) EXPECT_LE(texts[i].run.width * 254, 1851 + 1e-6);
}

// A codes line that starts with blanks (a TAB in the game's text) is printed
// indented by the blanks' own width, in either font, and a replay at another
// resolution and with other blank widths (the preview) keeps every word where
// the printer has it: a lone indented word stays one word at its indent, and
// an indented table row keeps its columns.
TEST(CodesPrintoutLayout, IndentedLinesKeepTheirIndentWhenReplayed) {
    for (bool fixed : {true, false}) {
        SCOPED_TRACE(fixed ? "fixed pitch" : "proportional");
        Printout p({"Cheats:", "        IDKFA", "        IDDQD   god mode"}, fixed);
        TestDevice screen(96, 794, 1123);
        screen.blankEm = 0.1;
        TFilePreview preview(screen, 50);
        ASSERT_TRUE(preview.DrawPage(p.stream, 1));
        const double em = (fixed ? 10 : 12) * 0.5 * 96 / 72;
        const double letter = em / 2, blank = fixed ? em / 2 : em / 4;  // the printer's
        // Where the word's first letter lands: a drawn text may bring its indent.
        auto x = [&](const std::string& word) {
            for (const auto& d : screen.drawn) {
                const std::size_t indent = d.text.find_first_not_of(' ');
                if (indent == std::string::npos) continue;
                if (d.text.compare(indent, std::string::npos, word) == 0)
                    return d.x + static_cast<double>(indent) * screen.blankEm * em;
            }
            ADD_FAILURE() << word << " was not drawn as one word";
            return -1.0;
        };
        const double left = x("Cheats:");
        EXPECT_NEAR(x("IDKFA"), left + 8 * blank, 1.0);
        EXPECT_NEAR(x("IDDQD"), left + 8 * blank, 1.0);
        EXPECT_NEAR(x("god"), left + 11 * blank + 5 * letter, 1.5);
        EXPECT_NEAR(x("mode"), left + 12 * blank + 8 * letter, 1.5);
    }
}

TEST(CodesPrintoutLayout, NoRoomBetweenTheMarginsIsAnErrorAndFreesTheBuffer) {
    TestDevice dev = A4Device();
    PageStream stream;
    TReportFiler filer(dev, stream);
    filer.SetUnits(unMM);
    filer.SetMarginLeft(110);
    filer.SetMarginRight(110);
    CodesReport codes;
    codes.SelectedEntry = "X (Y)";
    codes.ViewLines = {"a"};
    filer.OnPrint = [&](TBaseReport& r) { codes.ReportSystem1Print(r); };
    EXPECT_THROW(filer.Execute(), std::runtime_error);
    EXPECT_FALSE(filer.Printing());
}

TEST(RowLoopShell, OnlyRowAfterRunsOncePerRowAndPrintsNothing) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    TDetailShell shell;
    int rows = 0;
    shell.OnRowAfter = [&](TBaseReport&, TDetailShell&, bool& valid) { valid = ++rows < 4; };
    r.StartDocument();
    shell.RunRows(r);
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(r.PageNumber(), 1);
    EXPECT_TRUE(dev.drawn.empty());
    r.EndDocument();

    // With a row printer and StartNewPage, each valid row after the first starts a page.
    TBaseReport r2(dev);
    TDetailShell paged;
    paged.StartNewPage = true;
    int printed = 0;
    std::vector<bool> firsts;
    paged.OnRowPrint = [&](TBaseReport&, TDetailShell& s, bool&) {
        ++printed;
        firsts.push_back(s.FirstRowOnPage());
    };
    paged.OnRowAfter = [&](TBaseReport&, TDetailShell&, bool& valid) { valid = printed < 3; };
    r2.StartDocument();
    paged.RunRows(r2);
    EXPECT_EQ(r2.PageNumber(), 3);
    EXPECT_EQ(firsts, (std::vector<bool>{true, true, true}));
    r2.EndDocument();
}
