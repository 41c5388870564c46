#include <gtest/gtest.h>

#include "printing/base_report.h"
#include "printing/memo_buf.h"
#include "test_device.h"

using namespace hk::printing;
using hk::printing::testing::TestDevice;

namespace {

// 100 dpi, inches, 14.4 pt: every byte is 10 pixels. A buffer from 1.0 to
// 1.99 inches is 100 pixels wide (columns 100 to 199, both counted): ten bytes.
struct MemoFixture : ::testing::Test {
    TestDevice dev{100, 850, 1100};
    TBaseReport report{dev};
    TMemoBuf memo;

    void SetUp() override {
        report.SetLineHeightMethod(lhmFont);
        report.StartDocument();
        report.SelectFont("Mono", 14.4);
        report.RealignLine();
        memo.PrintStart = 1.0;
        memo.PrintEnd = 1.99;
        memo.BaseReport = &report;
    }
    void TearDown() override {
        if (report.Printing()) report.EndDocument();
    }

    // Every line printed so far, as (text, pixel x, line number by baseline).
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const auto& d : dev.drawn) out.push_back(d.text);
        return out;
    }
};

}  // namespace

TEST_F(MemoFixture, ParagraphsWrapAtBlanksAndKeepTheirIndent) {
    memo.LoadText("  aaa bbb ccc ddd\r\nnext");
    std::vector<std::string> got;
    while (memo.ReadPosition() < memo.TextLength()) got.push_back(memo.GetLine());
    // The paragraph's first line keeps its indent; the wrapped one loses the blank.
    EXPECT_EQ(got, (std::vector<std::string>{"  aaa bbb", "ccc ddd", "next"}));
}

TEST_F(MemoFixture, BlankLineIsOneEmptyLineAndTrailingBreakAddsNone) {
    memo.LoadText("one\r\n\r\ntwo\r\n");
    EXPECT_EQ(memo.LineCount(), 3);
    const double lh = report.LineHeight();
    const double first = report.Baseline();
    const double height = memo.PrintLines(0, false);
    EXPECT_NEAR(height, 3 * lh, 1e-9);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"one", "two"}));
    EXPECT_NEAR(dev.drawn[1].baseline - dev.drawn[0].baseline, 2 * lh * 100, 1.0);
    EXPECT_NEAR(report.Baseline(), first + 3 * lh, 1e-9);  // after the last line: NextLine
}

TEST_F(MemoFixture, LoneLineFeedsAndCarriageReturnsEndParagraphs) {
    memo.LoadText("a\nb\rc\r\n\nd");
    std::vector<std::string> got;
    while (memo.ReadPosition() < memo.TextLength()) got.push_back(memo.GetLine());
    EXPECT_EQ(got, (std::vector<std::string>{"a", "b", "c", "", "d"}));
}

TEST_F(MemoFixture, WordWiderThanTheLineIsSplitBetweenCharacters) {
    memo.LoadText("ab abcdefghijklmnopq xy");
    std::vector<std::string> got;
    while (memo.ReadPosition() < memo.TextLength()) got.push_back(memo.GetLine());
    EXPECT_EQ(got, (std::vector<std::string>{"ab", "abcdefghij", "klmnopq xy"}));
}

TEST_F(MemoFixture, LineFillingTheWidthExactlyStaysWhole) {
    memo.LoadText("abcd efghi jk");  // "abcd efghi" is exactly 100 pixels
    EXPECT_EQ(memo.GetLine(), "abcd efghi");
    EXPECT_EQ(memo.GetLine(), "jk");
}

TEST_F(MemoFixture, CountsPrintThatManyLinesFromTheCurrentLine) {
    memo.LoadText("l1\r\nl2\r\nl3\r\nl4\r\nl5");
    const double lh = report.LineHeight();
    const double start = report.Baseline();
    EXPECT_DOUBLE_EQ(memo.PrintLines(-1, false), 0);
    EXPECT_TRUE(dev.drawn.empty());
    EXPECT_NEAR(memo.PrintLines(2, false), 2 * lh, 1e-9);
    ASSERT_EQ(dev.drawn.size(), 2u);
    EXPECT_NEAR(dev.drawn[0].baseline, std::lround(start * 100),
                1e-9);  // first on the current line
    EXPECT_NEAR(dev.drawn[1].baseline - dev.drawn[0].baseline, lh * 100, 1.0);
    EXPECT_EQ(memo.LineCount(), 3);
    EXPECT_EQ(Lines().back(), "l2");
    memo.PrintLines(0, false);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"l1", "l2", "l3", "l4", "l5"}));
    EXPECT_EQ(memo.ReadPosition(), memo.TextLength());
    EXPECT_DOUBLE_EQ(memo.PrintLines(3, false), 0);  // nothing left
}

TEST_F(MemoFixture, BlockJustificationSpreadsAllButAParagraphsLastLine) {
    memo.Justification = pjBlock;
    memo.LoadText("aa bb cc dd\r\n");
    memo.PrintLines(0, false);
    ASSERT_EQ(dev.drawn.size(), 4u);
    // "aa bb cc" spreads to end at column 100 + 99 + 1 = 199 + width rounding.
    EXPECT_NEAR(dev.drawn[2].x + 20, 199, 1.0);
    EXPECT_DOUBLE_EQ(dev.drawn[3].x, 100);  // "dd" ends the paragraph: left
}

TEST_F(MemoFixture, MissingSurfaceOrWidthIsRefused) {
    memo.LoadText("text");
    memo.PrintEnd = memo.PrintStart;
    try {
        memo.PrintLines(1, false);
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "TMemoBuf.PrintEnd must be greater than TMemoBuf.PrintStart");
    }
    EXPECT_TRUE(dev.drawn.empty());
    memo.BaseReport = nullptr;
    memo.PrintEnd = 2;
    try {
        memo.LineCount();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "TMemoBuf.BaseReport not assigned.");
    }
}

TEST_F(MemoFixture, EmbeddedCodesAreTakenOutWithTheirPositions) {
    memo.LoadText(
        std::string("ab\x01"
                    "B+\x04"
                    "cd\x01x\x04"));
    EXPECT_EQ(memo.Text(), "abcd");
    ASSERT_EQ(memo.Codes().size(), 2u);
    EXPECT_EQ(memo.Codes()[0].code,
              "\x01"
              "B+\x04");
    EXPECT_EQ(memo.Codes()[0].position, 2u);
    EXPECT_EQ(memo.Codes()[1].position, 4u);
}

TEST_F(MemoFixture, ACodeStartWithoutItsEndOnTheLineIsOrdinaryText) {
    // No end at all, and an end that only comes on a later line.
    const std::string text =
        "ab\x01"
        "cd\r\nef\x04gh\r\nij\x01";
    memo.LoadText(text);
    EXPECT_EQ(memo.Text(), text);
    EXPECT_TRUE(memo.Codes().empty());
    memo.PrintLines(0, false);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"ab\x01"
                                                 "cd",
                                                 "ef\x04gh", "ij\x01"}));
}

TEST_F(MemoFixture, ANarrowLineStillAdvancesThroughTheText) {
    memo.PrintEnd = 1.02;  // three pixels: not even one byte fits
    memo.LoadText("abc");
    EXPECT_EQ(memo.LineCount(), 3);
}
