#include <gtest/gtest.h>

#include <cmath>

#include "printing/base_report.h"
#include "printing/report_filer.h"
#include "test_device.h"

using namespace hk::printing;
using hk::printing::testing::A4Device;
using hk::printing::testing::TestDevice;

namespace {

// The print-out's settings: millimetres, margins 15/10/10/15, font-based lines.
void UsePrintoutSettings(TBaseReport& r) {
    r.SetLineHeightMethod(lhmFont);
    r.SetMarginBottom(15);
    r.SetMarginLeft(15);
    r.SetMarginRight(10);
    r.SetMarginTop(10);
    r.SetUnits(unMM);
}

}  // namespace

TEST(ReportUnits, UnitsAndFactorsFollowEachOther) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    EXPECT_EQ(r.Units(), unInch);
    r.SetUnits(unMM);
    EXPECT_DOUBLE_EQ(r.UnitsFactor(), 25.4);
    EXPECT_NEAR(r.PageWidth(), 210.0, 1e-9);
    r.SetUnitsFactor(2.54);
    EXPECT_EQ(r.Units(), unCM);
    r.SetUnitsFactor(72);
    EXPECT_EQ(r.Units(), unPoint);
    r.SetUnitsFactor(10);
    EXPECT_EQ(r.Units(), unUser);
    r.SetUnitsFactor(0);
    r.SetUnitsFactor(-3);
    EXPECT_DOUBLE_EQ(r.UnitsFactor(), 10);
    r.SetUnits(unUser);
    EXPECT_DOUBLE_EQ(r.UnitsFactor(), 10);
    EXPECT_NEAR(r.PageWidth(), 210.0 / 2.54, 1e-9);
}

TEST(ReportSections, MarginsGivenBeforeUnitsAreReappliedAtDocumentStart) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    UsePrintoutSettings(r);  // margins arrive while the units are still inches
    EXPECT_DOUBLE_EQ(r.MarginLeft(), 15);
    r.StartDocument();
    EXPECT_NEAR(r.SectionLeft(), 15, 1e-9);
    EXPECT_NEAR(r.SectionRight(), 200, 1e-9);
    EXPECT_NEAR(r.SectionTop(), 10, 1e-9);
    EXPECT_NEAR(r.SectionBottom(), 282, 1e-9);
    EXPECT_NEAR(r.PageWidth() / 2, 105, 1e-9);
    EXPECT_DOUBLE_EQ(r.MarginRight(), 10);
    r.EndDocument();
}

TEST(ReportSections, MovingAnEdgePullsTheCursorInside) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    r.SetUnits(unMM);
    r.SetCursorX(5);
    r.SetMarginLeft(20);
    EXPECT_NEAR(r.CursorX(), 20, 1e-9);
    r.SetCursorX(205);
    r.SetMarginRight(30);
    EXPECT_NEAR(r.CursorX(), 180, 1e-9);
}

TEST(ReportLines, LinesRemainingCountsTheCurrentLineAndFillsTheSection) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    UsePrintoutSettings(r);
    r.StartDocument();
    r.SelectFont("Courier New", 10);
    r.ResetToFirstLine();
    const double lh = 10.0 / 60 * 25.4;
    EXPECT_NEAR(r.LineHeight(), lh, 1e-9);
    const int expected = static_cast<int>(std::floor(272 / lh));
    const int n = r.LinesRemaining();
    EXPECT_EQ(n, expected);
    for (int i = 1; i < n; ++i) r.NextLine();
    EXPECT_EQ(r.LinesRemaining(), 1);
    EXPECT_LE(r.Baseline() + r.FontDescent(), r.SectionBottom() + 1e-9);
    r.NextLine();
    EXPECT_EQ(r.LinesRemaining(), 0);
    r.EndDocument();
}

TEST(ReportLines, RealignKeepsTheLineTopWhenTheFontGrows) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    UsePrintoutSettings(r);
    r.StartDocument();
    r.SelectFont("Arial", 10);
    r.ResetToFirstLine();
    const double top = r.Baseline() + r.FontDescent() - r.LineHeight();
    r.SelectFont("Arial", 20);
    r.RealignLine();
    EXPECT_NEAR(r.Baseline() + r.FontDescent() - r.LineHeight(), top, 1e-9);
    EXPECT_NEAR(r.LineHeight(), 20.0 / 60 * 25.4, 1e-9);
    EXPECT_NEAR(top, 10, 1e-9);
    r.EndDocument();
}

TEST(ReportLines, AdvancePageStartsAtTheTopInTheCurrentFont) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    UsePrintoutSettings(r);
    int newPages = 0;
    r.OnNewPage = [&](TBaseReport&) { ++newPages; };
    r.StartDocument();
    r.SelectFont("Courier New", 10);
    r.RealignLine();
    for (int i = 0; i < 5; ++i) r.NextLine();
    r.AdvancePage();
    EXPECT_EQ(r.PageNumber(), 2);
    EXPECT_EQ(r.LineNumber(), 1);
    EXPECT_EQ(r.Font().face, "Courier New");
    EXPECT_NEAR(r.Baseline(), 10 + r.LineHeight() - r.FontDescent(), 1e-9);
    EXPECT_EQ(newPages, 2);
    EXPECT_EQ(dev.pages, 2);
    r.EndDocument();
}

TEST(ReportFonts, SizeZeroChangesNothingAndFontsAreReusedAndFreed) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    r.StartDocument();
    r.SelectFont("Courier New", 10);
    r.SetFontBold(true);
    r.SelectFont("Arial", 0);
    r.SelectFont("Times New Roman", -4);
    EXPECT_EQ(r.Font().face, "Courier New");
    EXPECT_TRUE(r.Font().bold);
    r.SelectFont("Arial", 12);
    EXPECT_FALSE(r.Font().bold);  // a selected font starts plain
    r.PrintLeft("a", 0);
    r.SelectFont("Courier New", 10);
    r.PrintLeft("b", 0);
    r.SelectFont("Arial", 12);
    r.PrintLeft("c", 0);
    // The default font, Arial 12 and Courier New 10: each created once.
    EXPECT_EQ(dev.requests.size(), 3u);
    EXPECT_EQ(r.DeviceFontCount(), 3u);
    EXPECT_NEAR(dev.requests[1].emHeight, 12 * 254 / 72.0, 1e-9);
    r.EndDocument();
    EXPECT_EQ(dev.live, 0);
    EXPECT_EQ(r.DeviceFontCount(), 0u);
}

TEST(ReportMisuse, DrawingOutsideADocumentAndStartingTwiceAreErrors) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    try {
        r.PrintLeft("x", 1);
        FAIL() << "drawing outside a document was accepted";
    } catch (const EInkwell& e) {
        EXPECT_STREQ(e.what(), "Invalid method call.  Inkwell is not printing.");
    }
    EXPECT_THROW(r.AdvancePage(), EInkwell);
    r.StartDocument();
    try {
        r.StartDocument();
        FAIL() << "a second start was accepted";
    } catch (const EInkwell& e) {
        EXPECT_STREQ(e.what(), "Invalid method call.  Inkwell already printing.");
    }
    r.EndDocument();
    EXPECT_FALSE(r.Printing());
}

TEST(ReportRun, CancelStopsTheBodyWriterSilentlyAndAbortsTheJob) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    int printedAfterCancel = 0;
    r.OnPrint = [&](TBaseReport& rep) {
        rep.PrintLeft("page one", 1);
        rep.Abort();
        rep.PrintLeft("never", 1);
        ++printedAfterCancel;
    };
    EXPECT_NO_THROW(r.Execute());
    EXPECT_TRUE(r.Aborted());
    EXPECT_TRUE(dev.aborted);
    EXPECT_EQ(printedAfterCancel, 0);
    EXPECT_FALSE(r.Printing());
}

TEST(ReportRun, BodyErrorEndsTheDocumentAndPassesOut) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    bool after = false;
    r.OnAfterPrint = [&](TBaseReport&) { after = true; };
    r.OnPrint = [](TBaseReport&) { throw std::runtime_error("boom"); };
    EXPECT_THROW(r.Execute(), std::runtime_error);
    EXPECT_TRUE(after);
    EXPECT_FALSE(r.Printing());
    EXPECT_EQ(dev.live, 0);
}

TEST(ReportText, TabStopsWhenMeasuringAndWhenPrintingLeft) {
    // 100 dpi, inches: a tab stop every 50 pixels; 14.4 pt makes bytes 10 pixels wide.
    TestDevice dev(100, 850, 1100);
    TBaseReport r(dev);
    r.StartDocument();
    r.SelectFont("Mono", 14.4);
    EXPECT_DOUBLE_EQ(r.TextWidthPixels("ab"), 20);
    EXPECT_DOUBLE_EQ(r.TextWidthPixels("\tab"), 70);      // from the first stop
    EXPECT_DOUBLE_EQ(r.TextWidthPixels("abcde\tf"), 60);  // already on a stop: stays
    EXPECT_DOUBLE_EQ(r.TextWidthPixels("abc\tf"), 60);

    dev.drawn.clear();
    r.PrintAligned("abcde\tf", pjLeft, 5, 1.0);  // on a stop: printing moves on
    ASSERT_EQ(dev.drawn.size(), 2u);
    EXPECT_DOUBLE_EQ(dev.drawn[0].x, 100);
    EXPECT_DOUBLE_EQ(dev.drawn[1].x, 200);
    EXPECT_NEAR(r.CursorX(), 2.1, 1e-9);

    dev.drawn.clear();
    r.PrintAligned("\tab", pjLeft, 5, 1.0);
    ASSERT_EQ(dev.drawn.size(), 1u);  // nothing before the tab
    EXPECT_DOUBLE_EQ(dev.drawn[0].x, 150);
    r.EndDocument();
}

TEST(ReportText, AlignmentsPlaceTextAndCursor) {
    TestDevice dev(100, 850, 1100);
    TBaseReport r(dev);
    r.StartDocument();
    r.SelectFont("Mono", 14.4);
    r.PrintCentred("abcd", 4.0);  // 40 px wide, centred on 400
    EXPECT_DOUBLE_EQ(dev.drawn.back().x, 380);
    EXPECT_NEAR(r.CursorX(), 4.2, 1e-9);
    r.PrintRight("abcd", 4.0);
    EXPECT_DOUBLE_EQ(dev.drawn.back().x, 360);
    EXPECT_NEAR(r.CursorX(), 4.0, 1e-9);
    r.PrintAligned("ab", pjRight, 2.0, 1.0);
    EXPECT_DOUBLE_EQ(dev.drawn.back().x, 280);
    r.PrintAligned("ab", pjCenter, 2.0, 1.0);
    EXPECT_DOUBLE_EQ(dev.drawn.back().x, 190);
    r.EndDocument();
}

TEST(ReportText, JustifiedSpreadingEndsExactlyAtTheRightEdge) {
    TestDevice dev(100, 850, 1100);
    TBaseReport r(dev);
    r.StartDocument();
    r.SelectFont("Mono", 14.4);
    auto lastEnd = [&] {
        const auto& d = dev.drawn.back();
        return d.x + d.text.size() * 10.0;
    };
    dev.drawn.clear();
    r.PrintJustified("  aa  bb cc ", 1.0, 3.17);  // outer blanks take no share
    ASSERT_EQ(dev.drawn.size(), 3u);
    EXPECT_DOUBLE_EQ(dev.drawn[0].x, 120);  // the leading ones indent
    EXPECT_NEAR(lastEnd(), 417, 0.5);
    // Two blanks before bb take twice the share of the one before cc.
    const double gap1 = dev.drawn[1].x - (dev.drawn[0].x + 20);
    const double gap2 = dev.drawn[2].x - (dev.drawn[1].x + 20);
    EXPECT_NEAR(gap1, 2 * gap2, 1.5);

    dev.drawn.clear();
    r.PrintJustified("abc", 1.0, 2.0);  // no blanks: the characters spread
    ASSERT_EQ(dev.drawn.size(), 3u);
    EXPECT_NEAR(lastEnd(), 300, 0.5);

    dev.drawn.clear();
    r.PrintJustified("   abc", 1.0, 2.0);  // only leading blanks: one word at its indent
    ASSERT_EQ(dev.drawn.size(), 1u);
    EXPECT_EQ(dev.drawn[0].text, "abc");
    EXPECT_DOUBLE_EQ(dev.drawn[0].x, 130);

    dev.drawn.clear();
    r.PrintJustified("x", 1.0, 2.0);
    ASSERT_EQ(dev.drawn.size(), 1u);
    EXPECT_DOUBLE_EQ(dev.drawn[0].x, 100);
    EXPECT_NEAR(r.CursorX(), 3.0, 1e-9);
    r.EndDocument();
}

TEST(ReportStatus, FormatTokensExpand) {
    TestDevice dev = A4Device();
    TBaseReport r(dev);
    r.StatusText = "first\r\nsecond";
    r.Copies = 3;
    r.CurrentCopy = 2;
    r.LastPage = 12;
    r.StartDocument();
    r.StatusFormat = "%p/%P %% %0|%1|%5 %c of %s %f-%l%n%d %r %t %x%q end%";
    EXPECT_EQ(r.StatusString(),
              "1/1 % first|second| 2 of 3 1-12\rTestJet testdrv LPT9: <ERROR-%X><ERROR-%Q> end%");
    std::vector<std::string> labels;
    r.StatusLabel = [&](const std::string& s) { labels.push_back(s); };
    r.StatusFormat = "Page %p";
    r.AdvancePage();
    r.EndDocument();
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0], "Page 2");
}

TEST(ReportFilerRecording, PositioningKeepsTextsWithBlanksAtThePrinterWidth) {
    TestDevice dev(100, 850, 1100);
    PageStream stream;
    TReportFiler filer(dev, stream);
    filer.AccuracyMethod = amPositioning;
    filer.OnPrint = [](TBaseReport& r) {
        r.SelectFont("Mono", 14.4);
        r.PrintCentred("ab cd", 4.0);  // 50 px at 100 dpi: half an inch
        r.PrintLeft("word", 1.0);
        r.AdvancePage();
        r.PrintRight("x y", 5.0);
    };
    filer.Execute();
    ASSERT_EQ(stream.pages.size(), 2u);
    ASSERT_EQ(stream.pages[0].texts.size(), 2u);
    const TextRun& centred = stream.pages[0].texts[0].run;
    EXPECT_EQ(centred.kind, pjBlock);
    EXPECT_NEAR(centred.x, 3.75, 1e-9);
    EXPECT_NEAR(centred.width, 0.5, 1e-9);
    EXPECT_EQ(stream.pages[0].texts[1].run.kind, pjLeft);
    EXPECT_EQ(stream.pages[0].texts[0].font.face, "Mono");
    const TextRun& right = stream.pages[1].texts[0].run;
    EXPECT_EQ(right.kind, pjBlock);
    EXPECT_NEAR(right.x + right.width, 5.0, 1e-9);
    EXPECT_TRUE(dev.drawn.empty());  // the recording surface draws nothing
    EXPECT_NEAR(stream.pageWidth, 8.5, 1e-9);
}
