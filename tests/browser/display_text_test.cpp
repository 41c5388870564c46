#include "browser/display_text.h"

#include <gtest/gtest.h>

#include <QTextDocument>
#include <algorithm>

#include "browser/TCoolMemo.h"

using hk::browser::DisplayText;

TEST(DisplayText, LongLinesContinueOnTheNextLineAndManyLinesShareParagraphs) {
    EXPECT_EQ(DisplayText({"IDDQD IDKFA IDCLIP"}, {10, 100}), "IDDQD \nIDKFA \nIDCLIP");
    // No blank, or one so early that the piece would stay less than half full.
    EXPECT_EQ(DisplayText({"A BCDEFGHIJKLM", ""}, {10, 100}), "A BCDEFGHI\nJKLM\n");
    std::string shared = "1|2|3\n4|5";
    std::replace(shared.begin(), shared.end(), '|', hk::browser::kLineInParagraph);
    EXPECT_EQ(DisplayText({"1", "2", "3", "4", "5"}, {10, 2}), shared);
}

TEST(CodesView, HugeTextsKeepTheirLinesWhileTheViewShowsThemInPieces) {
    hk::browser::TCoolMemo memo;
    memo.SetLines({std::string(1 << 20, 'X')});
    EXPECT_EQ(memo.Lines(), std::vector<std::string>{std::string(1 << 20, 'X')});
    EXPECT_EQ(memo.document()->blockCount(), 1024);
    memo.SetWordWrap(false);
    EXPECT_EQ(memo.DisplayLineCount(), 1);  // the view counts the stored line

    memo.SetLines(std::vector<std::string>(100000, "IDKFA"));
    EXPECT_LE(memo.document()->blockCount(), 16384);
    EXPECT_EQ(memo.document()->toPlainText(),
              QStringLiteral("IDKFA\n").repeated(100000).chopped(1));
}
