#pragma once
// High-density screens. A skin picture may come with a second copy, the same design
// drawn afresh at twice the pixels each way. Wherever one logical pixel covers more
// than one device pixel, the controls draw that copy instead, at the picture's
// unchanged logical size and place; at a ratio of 1 they draw exactly what they did
// before there was a second copy.

#include <QImage>
#include <QPoint>
#include <QRect>

class QPainter;

namespace hk::skin {

// Device pixels per logical pixel on whatever `painter` really paints into: a window's
// backing store, or an image rendered into with a ratio of its own.
qreal deviceRatio(const QPainter& painter);

// A copy of `doubled` marked as drawn at ratio 2, as the controls keep their doubles
// (null stays null).
QImage markedDoubled(const QImage& doubled);

// `doubled`, marked as drawn at ratio 2, when `ratio` is above 1 and `doubled` is
// exactly twice `base` each way; otherwise a null image (draw `base` as before).
QImage doubledFor(const QImage& base, const QImage& doubled, qreal ratio);

// Draws `base` with its top-left corner at `at`, or its double over the same logical
// rectangle on a high-density device.
void drawPicture(QPainter& painter, QPoint at, const QImage& base, const QImage& doubled);

// `doubled` (already marked as ratio 2) repeated from the top-left corner over
// `logicalSize`, as one picture at ratio 2. Drawn as one image into a logical
// rectangle it cannot leave seams between tiles at fractional ratios, where tile
// edges would fall between device pixels.
QImage tiledDoubled(const QImage& doubled, QSize logicalSize);

}  // namespace hk::skin
