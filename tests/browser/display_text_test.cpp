#include "browser/display_text.h"

#include <gtest/gtest.h>

#include <QTextDocument>
#include <algorithm>

#include "browser/TCoolMemo.h"

namespace {

using hk::browser::DisplayLimits;
using hk::browser::DisplayText;
using hk::browser::kLineInParagraph;

TEST(DisplayText, OverlongLinesContinueOnTheNextLineKeepingWordsWhole) {
    const DisplayLimits tenWide{10, 100};
    EXPECT_EQ(DisplayText({"IDDQD IDKFA IDCLIP"}, tenWide), "IDDQD \nIDKFA \nIDCLIP");
    EXPECT_EQ(DisplayText({"ABCDEFGHIJKLMN"}, tenWide), "ABCDEFGHIJ\nKLMN");
    // A blank so early that the piece would stay less than half full is no place to cut.
    EXPECT_EQ(DisplayText({"A BCDEFGHIJKLM"}, tenWide), "A BCDEFGHI\nJKLM");
    EXPECT_EQ(DisplayText({"", "short", "", "ABCDEFGHIJ"}, tenWide), "\nshort\n\nABCDEFGHIJ");
    EXPECT_EQ(DisplayText({}, tenWide), "");
}

TEST(DisplayText, ManyLinesShareParagraphsSoTheirCountStaysWithinTheLimit) {
    const std::string sep(1, kLineInParagraph);
    EXPECT_EQ(DisplayText({"1", "2", "3", "4", "5"}, {10, 2}),
              "1" + sep + "2" + sep + "3\n4" + sep + "5");

    const std::vector<std::string> empty(100000);
    const std::string text = DisplayText(empty);
    const auto paragraphs = std::count(text.begin(), text.end(), '\n') + 1;
    EXPECT_LE(paragraphs, 16384);
    EXPECT_EQ(
        static_cast<size_t>(paragraphs + std::count(text.begin(), text.end(), kLineInParagraph)),
        empty.size());
}

TEST(CodesView, HugeTextsKeepTheirLinesWhileTheViewShowsThemInPieces) {
    hk::browser::TCoolMemo memo;
    memo.resize(300, 200);
    memo.SetLines({std::string(1 << 20, 'X')});
    ASSERT_EQ(memo.Lines().size(), 1u);
    EXPECT_EQ(memo.Lines()[0].size(), size_t{1} << 20);
    EXPECT_EQ(memo.document()->blockCount(), 1024);
    memo.SetWordWrap(false);
    EXPECT_EQ(memo.DisplayLineCount(), 1);
    memo.SetWordWrap(true);
    EXPECT_EQ(memo.DisplayLineCount(2), 2);

    // Lines sharing a paragraph still show one per display line.
    memo.SetLines(std::vector<std::string>(100000, "IDKFA"));
    EXPECT_LE(memo.document()->blockCount(), 16384);
    QString shown = QStringLiteral("IDKFA\n").repeated(100000);
    shown.chop(1);
    EXPECT_EQ(memo.document()->toPlainText(), shown);
}

}  // namespace
