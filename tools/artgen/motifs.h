// Small drawings shared by the pictures and the banners.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>
#include <QRectF>

namespace artgen {

// A game pad filling `box` (about 5:3), with a cross pad and four coloured buttons.
void drawGamepad(QPainter& p, const QRectF& box, const QColor& body);

// A little pixel-art invader, 11 x 8 cells of `cell` pixels; pose 0 or 1 moves its legs.
void drawAlien(QPainter& p, QPointF topLeft, double cell, const QColor& colour, int pose);

// A four-pointed twinkle centred on `centre`.
void drawSparkle(QPainter& p, QPointF centre, double radius, const QColor& colour);

// Lettering with an outline and a vertical gradient fill.
void drawFancyText(QPainter& p, const QFont& font, QPointF baseline, const QString& text,
                   const QColor& top, const QColor& bottom, const QColor& outline,
                   double outlineWidth);

// Scattered stars whose brightness fades to nothing towards `fadeRight` (no fade if 0).
void drawStars(QPainter& p, const QRect& area, int count, quint32 seed, int fadeRight = 0);

}  // namespace artgen
