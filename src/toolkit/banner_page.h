#pragma once
// A fetched page cut down to what a 468 x 60 banner can show, before any layout sees
// it. The document layout has no budget of its own: one tall margin, a few nested
// tables or a huge grid keep it busy for minutes on the user-interface thread, deep
// nesting overflows its stack, and it reads local files a page names. So the page is
// rewritten from a small set of tags and attributes with every size clamped, its
// pictures turned into absolute web addresses, and a page beyond the budget below is
// refused as a whole.

#include <QList>
#include <QString>
#include <QStringView>
#include <QUrl>

namespace hk::toolkit {

struct PageBudget {
    static constexpr int kMaxDepth = 16;        // elements open inside each other
    static constexpr int kMaxTableDepth = 3;    // tables inside tables, the outer one too
    static constexpr int kMaxElements = 400;    // elements kept
    static constexpr int kMaxTableCells = 128;  // cells of all tables together
    static constexpr int kMaxSpan = 4;          // colspan and rowspan
    static constexpr int kMaxPictures = 32;     // picture elements, fetched or not
    static constexpr int kMaxTextChars = 4096;  // characters shown, spaces collapsed
    static constexpr int kMaxLength = 512;      // pixels of any width or height
    static constexpr int kMaxSpacing = 16;      // pixels of a table's border, padding, spacing
    static constexpr int kMaxFontPixels = 48;   // a style's font size
    static constexpr int kMaxAddress = 2048;    // characters of a link or picture address
};

struct BannerPage {
    QString html;          // the page as it may be laid out
    QString refusal;       // why the page is over budget; empty when it fits
    QList<QUrl> pictures;  // its pictures, absolute http or https addresses, each once
};

// `html` is the decoded page, `base` the address it came from.
BannerPage fitPageToBanner(QStringView html, const QUrl& base);

}  // namespace hk::toolkit
