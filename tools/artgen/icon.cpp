// The program's icon: the game-pad badge from the left end of the banner strip,
// on its own, drawn afresh for every size the desktop's icon theme asks for.
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "art.h"
#include "motifs.h"

namespace artgen {

QImage drawIcon(int size) {
    QImage out(size, size, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    // The badge is laid out in whole pixels, so its outline stays crisp at
    // 16 and 32 pixels; the rest is drawn on a 64-unit grid.
    const double unit = size / 64.0;
    const double margin = std::max(1.0, std::round(3 * unit));
    const double outline = std::max(1.0, std::round(1.5 * unit));
    const double radius = 12 * unit;
    const QRectF badge = QRectF(margin, margin, size - 2 * margin, size - 2 * margin)
                             .adjusted(outline / 2, outline / 2, -outline / 2, -outline / 2);
    QLinearGradient fill(badge.topLeft(), badge.bottomLeft());
    fill.setColorAt(0, QColor(255, 206, 84));
    fill.setColorAt(1, QColor(222, 110, 20));
    p.setPen(QPen(QColor(120, 50, 0), outline));
    p.setBrush(fill);
    p.drawRoundedRect(badge, radius, radius);

    p.scale(unit, unit);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(6, 6, 52, 22), 10, 10);

    drawGamepad(p, QRectF(7, 24, 50, 30), QColor(58, 66, 96));
    // A twinkle for the hint the pad is about to get, where there is room for it.
    if (size >= 48) drawSparkle(p, QPointF(49, 14), 7, QColor(255, 255, 230));
    return out;
}

}  // namespace artgen
