// The two JPEG pictures: the left end of the banner strip and the splash.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "art.h"
#include "motifs.h"

namespace artgen {

QImage drawBannerStrip(int scale) {
    QImage out = canvas(300 * scale, 79 * scale);
    for (int d = 0; d < out.height(); ++d) {
        const QColor row = bannerStripRow(rowAt(d, scale));
        for (int x = 0; x < out.width(); ++x) out.setPixelColor(x, d, row);
    }
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    // The right end must meet the strip's own gradient, so everything fades out by x = 280.
    drawStars(p, QRect(0, 2, 300, 74), 120, 0x5eed0001u, 285);
    QRadialGradient glow(QPointF(40, 38), 60);
    glow.setColorAt(0, QColor(90, 130, 255, 90));
    glow.setColorAt(1, QColor(90, 130, 255, 0));
    p.fillRect(QRect(0, 0, 300, 78), glow);

    // Badge with the game pad.
    const QRectF badge(10, 13, 54, 52);
    QLinearGradient badgeFill(badge.topLeft(), badge.bottomLeft());
    badgeFill.setColorAt(0, QColor(255, 206, 84));
    badgeFill.setColorAt(1, QColor(222, 110, 20));
    p.setPen(QPen(QColor(120, 50, 0), 1.5));
    p.setBrush(badgeFill);
    p.drawRoundedRect(badge, 11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 70));
    p.drawRoundedRect(QRectF(12.5, 15, 49, 20), 9, 9);
    drawGamepad(p, QRectF(14, 25, 46, 28), QColor(58, 66, 96));

    drawFancyText(p, sans(32, true), QPointF(74, 45), QStringLiteral("Hintkeeper"),
                  QColor(255, 255, 255), QColor(156, 190, 255), QColor(4, 8, 36), 3.0);
    p.setFont(sans(12, true));
    p.setPen(QColor(255, 196, 92));
    p.drawText(QPointF(76, 63), QStringLiteral("коды  •  советы  •  пароли"));
    return out;
}

QImage drawSplash(int scale) {
    QImage out = canvas(320 * scale, 200 * scale);
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 200);
    sky.setColorAt(0, QColor(8, 12, 44));
    sky.setColorAt(0.62, QColor(44, 16, 84));
    sky.setColorAt(0.70, QColor(120, 30, 110));
    sky.setColorAt(1, QColor(16, 4, 30));
    p.fillRect(QRect(0, 0, 320, 200), sky);
    drawStars(p, QRect(0, 0, 320, 130), 140, 0x5eed0002u);

    // A sunset disc sinking behind the horizon, cut by stripes.
    const QPointF sun(160, 138);
    QLinearGradient sunFill(0, 92, 0, 138);
    sunFill.setColorAt(0, QColor(255, 236, 120));
    sunFill.setColorAt(1, QColor(255, 80, 140));
    p.save();
    p.setClipRect(QRectF(0, 0, 320, 138));
    p.setPen(Qt::NoPen);
    p.setBrush(sunFill);
    p.drawEllipse(sun, 46, 46);
    // Stripes cut only the disc, so clip to it.
    QPainterPath disc;
    disc.addEllipse(sun, 46, 46);
    p.setClipPath(disc, Qt::IntersectClip);
    p.setBrush(sky);
    for (int i = 0; i < 5; ++i) p.drawRect(QRectF(100, 112 + i * 5.5, 120, 1.2 + i * 0.7));
    p.restore();

    // Floor grid running to the horizon.
    p.fillRect(QRectF(0, 138, 320, 62), QColor(18, 6, 36));
    p.setPen(QPen(QColor(236, 80, 220, 200), 1));
    for (int i = 0; i < 8; ++i) {
        const double t = i / 7.0;
        const double y = 138 + 62 * t * t;
        p.drawLine(QPointF(0, y), QPointF(320, y));
    }
    for (int i = -9; i <= 9; ++i) p.drawLine(QPointF(160 + i * 6, 138), QPointF(160 + i * 60, 200));
    p.setPen(QPen(QColor(255, 150, 240), 1.4));
    p.drawLine(QPointF(0, 138), QPointF(320, 138));

    // Invaders along the top.
    const QColor alienColours[3] = {QColor(110, 255, 140), QColor(120, 210, 255),
                                    QColor(255, 150, 220)};
    for (int i = 0; i < 7; ++i)
        drawAlien(p, QPointF(24 + i * 40, 12 + (i % 2) * 4), 2, alienColours[i % 3], i % 2);

    drawFancyText(p, sans(46, true), QPointF(38, 92), QStringLiteral("Hintkeeper"),
                  QColor(255, 240, 150), QColor(255, 126, 30), QColor(40, 8, 40), 4.0);
    const QString motto = QStringLiteral("Коды, советы и пароли к играм");
    const QFont mottoFont = sans(14, true);
    const double mottoLeft = (320 - QFontMetricsF(mottoFont).horizontalAdvance(motto)) / 2;
    drawFancyText(p, mottoFont, QPointF(mottoLeft, 116), motto, QColor(255, 255, 255),
                  QColor(214, 226, 255), QColor(30, 6, 50), 3.0);

    drawGamepad(p, QRectF(125, 150, 70, 42), QColor(70, 80, 120));
    drawSparkle(p, QPointF(279, 54), 7, QColor(255, 255, 220));
    drawSparkle(p, QPointF(40, 52), 5, QColor(255, 255, 220));
    p.setFont(sans(10, false));
    p.setPen(QColor(200, 190, 230));
    p.drawText(QRectF(0, 184, 314, 14), Qt::AlignRight, QStringLiteral("версия 1.30"));
    return out;
}

}  // namespace artgen
