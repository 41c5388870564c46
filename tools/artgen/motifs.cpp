#include "motifs.h"

#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>

#include "art.h"

namespace artgen {

void drawGamepad(QPainter& p, const QRectF& box, const QColor& body) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 60.0);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(14, 4, 72, 34), 16, 16);
    shape.addEllipse(QRectF(2, 12, 36, 46));
    shape.addEllipse(QRectF(62, 12, 36, 46));
    shape.setFillRule(Qt::WindingFill);
    QLinearGradient g(0, 0, 0, 60);
    g.setColorAt(0, body.lighter(135));
    g.setColorAt(1, body.darker(150));
    p.setPen(QPen(body.darker(260), 2.2));
    p.setBrush(g);
    p.drawPath(shape.simplified());
    // Cross pad.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 40));
    p.drawRoundedRect(QRectF(14, 22, 22, 7), 2, 2);
    p.drawRoundedRect(QRectF(21.5, 14.5, 7, 22), 2, 2);
    // Four buttons.
    const QColor colours[4] = {QColor(240, 60, 60), QColor(70, 200, 90), QColor(70, 140, 250),
                               QColor(250, 210, 60)};
    const QPointF at[4] = {{78, 25}, {70, 33}, {70, 17}, {62, 25}};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(colours[i].darker(160));
        p.drawEllipse(at[i] + QPointF(0.6, 0.8), 4.6, 4.6);
        p.setBrush(colours[i]);
        p.drawEllipse(at[i], 4.4, 4.4);
    }
    // Select and start.
    p.setBrush(QColor(40, 40, 52));
    p.drawRoundedRect(QRectF(40, 26, 8, 3.5), 1.5, 1.5);
    p.drawRoundedRect(QRectF(52, 26, 8, 3.5), 1.5, 1.5);
    p.restore();
}

void drawAlien(QPainter& p, QPointF topLeft, double cell, const QColor& colour, int pose) {
    static const char* const shapes[2][8] = {
        {"....XXX....", "..XXXXXXX..", ".XX.XXX.XX.", "XXXXXXXXXXX", "X.XXXXXXX.X", "..X.....X..",
         ".X.X...X.X.", "X.........X"},
        {"....XXX....", "..XXXXXXX..", ".XX.XXX.XX.", "XXXXXXXXXXX", ".XXXXXXXXX.", "..X.....X..",
         "..X.....X..", ".XX.....XX."},
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int row = 0; row < 8; ++row)
        for (int col = 0; col < 11; ++col)
            if (shapes[pose & 1][row][col] == 'X')
                p.fillRect(QRectF(topLeft.x() + col * cell, topLeft.y() + row * cell, cell, cell),
                           colour);
    p.restore();
}

void drawSparkle(QPainter& p, QPointF centre, double radius, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath star;
    const double w = radius * 0.18;
    star.moveTo(centre.x(), centre.y() - radius);
    star.quadTo(centre.x() + w, centre.y() - w, centre.x() + radius, centre.y());
    star.quadTo(centre.x() + w, centre.y() + w, centre.x(), centre.y() + radius);
    star.quadTo(centre.x() - w, centre.y() + w, centre.x() - radius, centre.y());
    star.quadTo(centre.x() - w, centre.y() - w, centre.x(), centre.y() - radius);
    QRadialGradient halo(centre, radius * 0.7);
    halo.setColorAt(0, QColor(255, 255, 255, 200));
    halo.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(centre, radius * 0.7, radius * 0.7);
    p.setBrush(colour);
    p.drawPath(star);
    p.restore();
}

void drawFancyText(QPainter& p, const QFont& font, QPointF baseline, const QString& text,
                   const QColor& top, const QColor& bottom, const QColor& outline,
                   double outlineWidth) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addText(baseline, font, text);
    const QRectF box = path.boundingRect();
    QLinearGradient g(box.topLeft(), box.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    if (outlineWidth > 0) {
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

void drawStars(QPainter& p, const QRect& area, int count, quint32 seed, int fadeRight) {
    Scatter scatter(seed);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < count; ++i) {
        const int x = area.left() + scatter.below(area.width());
        const int y = area.top() + scatter.below(area.height());
        double strength = 0.35 + 0.65 * scatter.unit();
        if (fadeRight > area.left())
            strength *=
                std::clamp(1.0 - double(x - area.left()) / (fadeRight - area.left()), 0.0, 1.0);
        const int alpha = int(255 * strength);
        const bool big = scatter.below(9) == 0;
        p.fillRect(QRect(x, y, 1, 1), QColor(220, 230, 255, alpha));
        if (big) {
            const QColor glow(180, 200, 255, alpha / 3);
            p.fillRect(QRect(x - 1, y, 1, 1), glow);
            p.fillRect(QRect(x + 1, y, 1, 1), glow);
            p.fillRect(QRect(x, y - 1, 1, 1), glow);
            p.fillRect(QRect(x, y + 1, 1, 1), glow);
        }
    }
    p.restore();
}

}  // namespace artgen
