// Drawing of every picture the viewer embeds, and the small kit the drawings share.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <initializer_list>
#include <utility>
#include <vector>

#include "writers.h"

namespace artgen {

// The dark outline every frame piece is edged with.
inline const QColor kOutline(49, 48, 41);
inline const QColor kPaleGrey(224, 224, 234);
inline const QColor kNavy(0, 0, 102);

QColor mix(const QColor& a, const QColor& b, double t);

// Colour at t in [0, 1] along a gradient given as (position, colour) stops.
QColor ramp(std::initializer_list<std::pair<double, QColor>> stops, double t);

// Every picture is drawn for a scale: 1 for ordinary screens, 2 for the high-density set,
// whose pictures have twice the pixels each way and the same design drawn afresh.
inline constexpr int kScales[] = {1, 2};

// Device row (or column) `d` of a picture drawn at `scale`: the logical row it belongs
// to, which decides crisp lines, and where its centre falls in logical row numbers, which
// gradients follow; at scale 1 the two agree.
struct Row {
    int y;
    double fine;
};
inline Row rowAt(int d, int scale) {
    return {d / scale, (d + 0.5) / scale - 0.5};
}

// The same picture the skinned panel shows when it tiles `strip` over `size`.
QImage tiled(const QImage& strip, int width, int height);

// Liberation Sans at a pixel height; the lettering on every picture uses it.
QFont sans(int pixelSize, bool bold);

// A blank 24-bit picture.
QImage canvas(int width, int height, const QColor& fill = Qt::black);

// Fixed-seed generator so scattered decorations (stars, sparks) come out the same
// on every run.
class Scatter {
  public:
    explicit Scatter(quint32 seed) : state_(seed ? seed : 1u) {}
    quint32 next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }
    int below(int n) { return int(next() % quint32(n)); }

  private:
    quint32 state_;
};

// The two bitmap collections of the main window, in index order.
std::vector<QImage> drawCoolImages1(int scale = 1);
std::vector<QImage> drawCoolImages2(int scale = 1);

// The 300 x 79 picture at the left end of the banner strip and the 320 x 200 splash
// (in logical pixels).
QImage drawBannerStrip(int scale = 1);
QImage drawSplash(int scale = 1);

// The program's icon at `size` x `size` pixels, with a transparent surround;
// the package installs one PNG per size into the hicolor icon theme. The icon is drawn
// on a grid of its own size, so twice a size is that size's high-density drawing: 96
// and 512 complete the set for 48 and 256.
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 96, 128, 256, 512};
QImage drawIcon(int size);

// The four built-in 468 x 60 animated banners, number 1 to 4.
std::vector<GifFrame> drawBanner(int number);

// Colours of the strips the panels tile; the banner-strip picture blends into them.
QColor bannerStripRow(Row row);

}  // namespace artgen
