#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>
#include <memory>

#include "skin/TCoolPanel.h"
#include "toolkit/fonts.h"

using namespace hk::skin;
using hk::toolkit::rgbColor;

namespace {

QImage filled(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A plain red window to put panels on.
struct Window {
    QWidget widget;
    Window() {
        widget.setAutoFillBackground(true);
        QPalette pal = widget.palette();
        pal.setColor(QPalette::Window, QColor(255, 0, 0));
        widget.setPalette(pal);
        widget.resize(120, 120);
    }
    QImage grab() { return widget.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TCoolPanel* panel(QWidget* parent, QRect r) {
    auto* p = new TCoolPanel(parent);
    p->setBevelOuter(TBevelCut::bvNone);
    p->setGeometry(r);
    return p;
}

}  // namespace

TEST(CoolPanel, DefaultsDifferFromAPlainPanel) {
    TCoolPanel p;
    EXPECT_EQ(p.width(), 66);
    EXPECT_EQ(p.Color(), hk::toolkit::clBtnShadow);
    EXPECT_EQ(p.BevelOuter(), TBevelCut::bvLowered);
    EXPECT_EQ(p.idWallpaper(), -1);
    EXPECT_FALSE(p.Transparent());
    p.setButtonWidth(30);
    EXPECT_EQ(p.width(), 32);
}

TEST(CoolPanel, StripBitmapsTileFromTheCornerAndClipAtTheEdges) {
    TCoolImages images;
    images.Bitmaps().Add(filled(1, 52, qRgb(1, 2, 3)));
    images.Bitmaps().Add(filled(6, 27, qRgb(4, 5, 6)));
    QImage quad(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) quad.setPixel(x, y, qRgb(x * 60, y * 60, 7));
    images.Bitmaps().Add(quad);

    Window w;
    TCoolPanel* bar = panel(&w.widget, {0, 0, 765, 52});
    bar->setCoolImages(&images);
    bar->setIdWallpaper(0);
    bar->grab();
    EXPECT_EQ(bar->lastTileCount(), 765);
    bar->setGeometry(0, 0, 6, 27);
    bar->setIdWallpaper(1);
    bar->grab();
    EXPECT_EQ(bar->lastTileCount(), 1);

    bar->setGeometry(0, 0, 10, 6);
    bar->setIdWallpaper(2);
    const QImage shot = bar->grab().toImage();
    EXPECT_EQ(bar->lastTileCount(), 6);
    EXPECT_EQ(shot.pixel(0, 0), quad.pixel(0, 0));
    EXPECT_EQ(shot.pixel(4, 0), quad.pixel(0, 0));
    EXPECT_EQ(shot.pixel(9, 5), quad.pixel(1, 1));  // last column and row cut short
}

TEST(CoolPanel, OutOfRangeIndexFallsBackToOwnWallpaperThenColour) {
    TCoolImages images;
    images.Bitmaps().Add(filled(2, 2, qRgb(0, 255, 0)));
    Window w;
    TCoolPanel* p = panel(&w.widget, {0, 0, 8, 8});
    p->setColor(rgbColor(0, 0, 255));
    p->setCoolImages(&images);
    for (int index : {-1, 1}) {
        p->setIdWallpaper(index);
        EXPECT_EQ(p->grab().toImage().pixel(3, 3), qRgb(0, 0, 255)) << index;
    }
    p->setWallpaper(filled(3, 3, qRgb(9, 9, 9)));
    EXPECT_EQ(p->grab().toImage().pixel(3, 3), qRgb(9, 9, 9));
    p->setIdWallpaper(0);
    EXPECT_EQ(p->grab().toImage().pixel(3, 3), qRgb(0, 255, 0));
}

TEST(CoolPanel, CollectionGoingAwayLeavesThePanelPaintingItsColour) {
    auto images = std::make_unique<TCoolImages>();
    images->Bitmaps().Add(filled(2, 2, qRgb(0, 255, 0)));
    Window w;
    TCoolPanel* p = panel(&w.widget, {0, 0, 8, 8});
    p->setColor(rgbColor(0, 0, 255));
    p->setCoolImages(images.get());
    p->setIdWallpaper(0);
    images.reset();
    EXPECT_EQ(p->CoolImages(), nullptr);
    EXPECT_EQ(p->grab().toImage().pixel(3, 3), qRgb(0, 0, 255));
}

TEST(CoolPanel, SeeThroughPanelsShowTheirParentsBackground) {
    TCoolImages images;
    images.Bitmaps().Add(filled(2, 2, qRgb(0, 255, 0)));
    Window w;
    TCoolPanel* outer = panel(&w.widget, {10, 10, 60, 60});
    outer->setCoolImages(&images);
    outer->setIdWallpaper(0);
    TCoolPanel* inner = panel(outer, {5, 5, 30, 30});
    inner->setCoolImages(&images);
    inner->setIdWallpaper(0);
    w.widget.show();
    EXPECT_EQ(w.grab().pixel(20, 20), qRgb(0, 255, 0));

    // Both transparent over the plain red window: red everywhere, wallpaper ignored.
    outer->setTransparent(true);
    inner->setTransparent(true);
    const QImage shot = w.grab();
    EXPECT_EQ(shot.pixel(12, 12), qRgb(255, 0, 0));
    EXPECT_EQ(shot.pixel(20, 20), qRgb(255, 0, 0));

    // Setting an own wallpaper switches transparency off; the collection's bitmap still
    // comes first.
    inner->setWallpaper(filled(1, 1, qRgb(1, 1, 1)));
    EXPECT_FALSE(inner->Transparent());
    EXPECT_EQ(w.grab().pixel(20, 20), qRgb(0, 255, 0));
    inner->setIdWallpaper(-1);
    EXPECT_EQ(w.grab().pixel(20, 20), qRgb(1, 1, 1));
}

TEST(CoolPanel, DeeperTransparencyLevelSkipsTheParentAndStaysAligned) {
    // Base panel with a strip whose every row differs; a green middle panel; an inner
    // panel looking through the middle one to the base.
    QImage strip(1, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y) strip.setPixel(0, y, qRgb(y, 2 * y, 50));
    Window w;
    TCoolPanel* base = panel(&w.widget, {0, 0, 100, 100});
    base->setWallpaper(strip);
    TCoolPanel* middle = panel(base, {0, 10, 100, 80});
    middle->setWallpaper(filled(1, 1, qRgb(0, 255, 0)));
    TCoolPanel* inner = panel(middle, {10, 5, 40, 40});
    inner->setTransparent(true);
    inner->setTransparencyLevel(1);
    w.widget.show();
    const QImage shot = w.grab();
    EXPECT_EQ(shot.pixel(5, 12), qRgb(0, 255, 0));
    for (int y : {15, 30, 54}) EXPECT_EQ(shot.pixel(20, y), strip.pixel(0, y)) << y;
}

TEST(CoolPanel, CaptionIsCentredOnTheHeightOfW) {
    Window w;
    TCoolPanel* p = panel(&w.widget, {0, 0, 200, 40});
    p->setWallpaper(filled(1, 1, qRgb(255, 255, 255)));
    p->setFont(hk::toolkit::makeFont("Arial", 13, true));
    p->setFontColor(rgbColor(0, 0, 0));
    p->setCaption("WWWW");
    const QImage shot = p->grab().toImage();
    int top = 40, bottom = -1, left = 200, right = -1;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            if (qGray(shot.pixel(x, y)) < 128) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    ASSERT_GE(bottom, 0) << "no caption drawn";
    const int h = QFontMetrics(p->font()).height();
    const int lineTop = (40 - h) / 2;
    EXPECT_GE(top, lineTop);
    EXPECT_LT(bottom, lineTop + h);
    EXPECT_NEAR((left + right) / 2.0, 100, 2.0);

    p->setAlignment(TAlignment::taLeftJustify);
    const QImage leftShot = p->grab().toImage();
    int firstDark = 200;
    for (int x = 0; x < 200 && firstDark == 200; ++x)
        for (int y = 0; y < 40; ++y)
            if (qGray(leftShot.pixel(x, y)) < 128) firstDark = x;
    EXPECT_LT(firstDark, 3);
}

TEST(CoolPanel, BevelsFrameTheBackground) {
    Window w;
    TCoolPanel* p = panel(&w.widget, {0, 0, 20, 20});
    p->setWallpaper(filled(1, 1, qRgb(255, 255, 255)));
    p->setBevelOuter(TBevelCut::bvLowered);
    p->setBevelWidth(2);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Dark, QColor(10, 10, 10));
    pal.setColor(QPalette::Light, QColor(240, 240, 240));
    p->setPalette(pal);
    QImage shot = p->grab().toImage();
    EXPECT_EQ(shot.pixel(1, 5), qRgb(10, 10, 10));      // shadow on the left
    EXPECT_EQ(shot.pixel(18, 5), qRgb(240, 240, 240));  // highlight on the right
    EXPECT_EQ(shot.pixel(5, 5), qRgb(255, 255, 255));
    p->setBevelOuter(TBevelCut::bvRaised);
    shot = p->grab().toImage();
    EXPECT_EQ(shot.pixel(1, 5), qRgb(240, 240, 240));
}
