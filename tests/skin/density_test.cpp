// High-density drawing: where a logical pixel covers several device pixels the skin
// draws the doubled pictures, and at a ratio of 1 exactly what it drew before.
#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolPanel.h"

using namespace hk::skin;

namespace {

// A picture of `w` x `h` device pixels no magnification of a smaller one can give:
// neighbouring device pixels differ.
QImage checkered(int w, int h, QRgb a, QRgb b) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, (x + y) % 2 ? a : b);
    return img;
}

// What `widget` paints into an image of the given device pixel ratio, as a window's
// backing store on such a screen would hold it.
QImage renderAt(QWidget& widget, qreal ratio) {
    QImage out(int(std::ceil(widget.width() * ratio)), int(std::ceil(widget.height() * ratio)),
               QImage::Format_RGB32);
    out.setDevicePixelRatio(ratio);
    out.fill(qRgb(255, 0, 255));
    widget.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    out.setDevicePixelRatio(1);
    return out;
}

}  // namespace

TEST(Density, ButtonDrawsItsDoubledFaceOnlyAboveRatioOne) {
    const QImage face = checkered(21, 21, qRgb(200, 0, 0), qRgb(0, 0, 200));
    const QImage doubled = checkered(42, 42, qRgb(0, 200, 0), qRgb(0, 0, 0));
    TCoolBitmapButton button;
    button.setBitmap(face, doubled);
    EXPECT_EQ(button.size(), QSize(21, 21));  // the logical size stays the face's

    EXPECT_EQ(renderAt(button, 1), face);
    EXPECT_EQ(renderAt(button, 2), doubled);

    // A double of the wrong size is ignored; a new face without one drops the old one.
    button.setBitmap(face, checkered(40, 42, qRgb(0, 200, 0), qRgb(0, 0, 0)));
    EXPECT_EQ(renderAt(button, 2), face.scaled(42, 42));
    button.setBitmap(face, doubled);
    button.setBitmap(face);
    EXPECT_EQ(renderAt(button, 2), face.scaled(42, 42));
}

TEST(Density, PanelTilesItsDoubleWithoutSeamsAtEveryRatio) {
    // A 1-pixel-wide strip with a 2 x 2-pixel double, as the bars use: every device row
    // of the panel must be one colour from edge to edge, whatever the ratio.
    QImage strip(1, 8, QImage::Format_RGB32), doubled(2, 16, QImage::Format_RGB32);
    for (int y = 0; y < 8; ++y) strip.setPixel(0, y, qRgb(y * 30, 0, 0));
    for (int y = 0; y < 16; ++y) doubled.setPixel(0, y, qRgb(0, y * 15, 100));
    for (int y = 0; y < 16; ++y) doubled.setPixel(1, y, qRgb(0, y * 15, 100));
    TCoolImages images;
    images.Bitmaps().Add(strip, doubled);
    TCoolPanel panel;
    panel.setBevelOuter(TBevelCut::bvNone);
    panel.setCoolImages(&images);
    panel.setIdWallpaper(0);
    panel.resize(37, 8);

    const QImage one = renderAt(panel, 1);
    for (int x = 0; x < 37; ++x) ASSERT_EQ(one.pixel(x, 5), strip.pixel(0, 5)) << x;
    const QImage two = renderAt(panel, 2);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(two.pixel(73, y), doubled.pixel(0, y)) << y;

    for (const qreal ratio : {1.25, 1.5, 1.75, 2.0}) {
        SCOPED_TRACE(ratio);
        const QImage shot = renderAt(panel, ratio);
        const int right = int(std::floor(37 * ratio)) - 1;
        for (int y = 0; y < int(std::floor(8 * ratio)); ++y)
            for (int x = 1; x <= right; ++x)
                ASSERT_EQ(shot.pixel(x, y), shot.pixel(0, y)) << x << "," << y;
        EXPECT_EQ(qRed(shot.pixel(0, 0)), 0);  // from the double, not the strip
    }
}
