// The four built-in 468 x 60 banners. Each scene function draws one whole frame as the
// viewer should see it; the GIF encoder turns the differences into small frames.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <stdexcept>

#include "art.h"
#include "motifs.h"

namespace artgen {
namespace {

constexpr int kWidth = 468;
constexpr int kHeight = 60;

QImage blankBanner(const QColor& top, const QColor& bottom) {
    QImage out = canvas(kWidth, kHeight);
    QPainter p(&out);
    QLinearGradient g(0, 0, 0, kHeight);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(out.rect(), g);
    return out;
}

void frameBorder(QPainter& p, const QColor& colour) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(colour);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, kWidth - 1, kHeight - 1);
}

void callToAction(QPainter& p, const QRectF& r, const QString& text, bool lit) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, lit ? QColor(255, 226, 120) : QColor(255, 170, 40));
    g.setColorAt(1, lit ? QColor(255, 130, 20) : QColor(200, 80, 0));
    p.setPen(QPen(QColor(90, 30, 0), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, 8, 8);
    p.setFont(sans(15, true));
    p.setPen(QColor(90, 30, 0, 140));
    p.drawText(r.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
    p.restore();
}

// 1: free browser games, a slide show of three slogans and a blinking button.
QImage flashGamesScene(int step) {
    QImage out = blankBanner(QColor(84, 30, 140), QColor(30, 10, 70));
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 18), 6));
    for (int x = -60; x < kWidth; x += 22) p.drawLine(x, kHeight, x + 60, 0);
    drawGamepad(p, QRectF(10, 10 + (step % 2), 64, 38), QColor(240, 120, 40));

    const QRectF text(86, 0, 260, kHeight);
    switch (step) {
        case 0:
            drawFancyText(p, sans(30, true), QPointF(88, 41), QStringLiteral("ФЛЕШ-ИГРЫ"),
                          QColor(255, 250, 170), QColor(255, 190, 40), QColor(40, 0, 60), 3);
            break;
        case 1:
            p.setFont(sans(18, true));
            p.setPen(Qt::white);
            p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                       QStringLiteral("Сотни игр прямо\nв браузере"));
            break;
        case 2:
            p.setFont(sans(18, true));
            p.setPen(Qt::white);
            p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                       QStringLiteral("Без установки\nи регистрации"));
            break;
        default:
            drawFancyText(p, sans(24, true), QPointF(88, 39), QStringLiteral("Жми и играй!"),
                          QColor(255, 255, 255), QColor(190, 220, 255), QColor(40, 0, 60), 3);
            break;
    }
    callToAction(p, QRectF(350, 13, 106, 34), QStringLiteral("Играть »"), step == 4);
    frameBorder(p, QColor(255, 190, 60));
    return out;
}

// A little landscape for the wallpaper banner's monitor; four of them in turn.
void landscape(QPainter& p, const QRect& screen, int which) {
    p.save();
    p.setClipRect(screen);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF s(screen);
    auto sky = [&](const QColor& top, const QColor& bottom) {
        QLinearGradient g(s.topLeft(), s.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillRect(s, g);
    };
    p.setPen(Qt::NoPen);
    switch (which) {
        case 0: {  // sunset over the sea
            sky(QColor(250, 120, 60), QColor(255, 210, 120));
            p.setBrush(QColor(255, 240, 170));
            p.drawEllipse(QPointF(s.center().x(), s.top() + 24), 8, 8);
            p.fillRect(QRectF(s.left(), s.top() + 25, s.width(), s.height()), QColor(40, 70, 140));
            p.setBrush(QColor(255, 200, 120, 160));
            for (int i = 0; i < 4; ++i)
                p.drawRect(
                    QRectF(s.center().x() - 9 + i * 2, s.top() + 27 + i * 2.5, 18 - i * 4, 1));
            break;
        }
        case 1: {  // snowy mountains
            sky(QColor(80, 150, 230), QColor(190, 225, 255));
            QPainterPath hills;
            hills.moveTo(s.left(), s.bottom());
            hills.lineTo(s.left() + 10, s.top() + 18);
            hills.lineTo(s.left() + 26, s.top() + 6);
            hills.lineTo(s.left() + 42, s.top() + 22);
            hills.lineTo(s.left() + 56, s.top() + 10);
            hills.lineTo(s.right() + 1, s.top() + 24);
            hills.lineTo(s.right() + 1, s.bottom());
            p.setBrush(QColor(90, 96, 120));
            p.drawPath(hills);
            p.setBrush(Qt::white);
            QPainterPath snow;
            snow.moveTo(s.left() + 20, s.top() + 10.5);
            snow.lineTo(s.left() + 26, s.top() + 6);
            snow.lineTo(s.left() + 32, s.top() + 12);
            snow.closeSubpath();
            p.drawPath(snow);
            p.fillRect(QRectF(s.left(), s.top() + 30, s.width(), 10), QColor(60, 140, 70));
            break;
        }
        case 2: {  // night and a full moon
            sky(QColor(10, 14, 50), QColor(40, 50, 110));
            drawStars(p, screen, 24, 0x5eed0003u);
            p.setBrush(QColor(250, 250, 220));
            p.drawEllipse(QPointF(s.left() + 52, s.top() + 11), 6, 6);
            p.setBrush(QColor(20, 24, 40));
            p.drawRect(QRectF(s.left(), s.top() + 29, s.width(), 10));
            for (int i = 0; i < 5; ++i)
                p.drawRect(QRectF(s.left() + 4 + i * 13, s.top() + 20 + (i % 3) * 3, 9, 12));
            p.setBrush(QColor(255, 220, 100));
            for (int i = 0; i < 5; ++i)
                p.drawRect(QRectF(s.left() + 7 + i * 13, s.top() + 24 + (i % 3) * 3, 2, 2));
            break;
        }
        default: {  // green hills under the sun
            sky(QColor(120, 200, 255), QColor(220, 245, 255));
            p.setBrush(QColor(255, 230, 80));
            p.drawEllipse(QPointF(s.left() + 14, s.top() + 10), 6, 6);
            p.setBrush(QColor(90, 190, 80));
            p.drawEllipse(QPointF(s.left() + 20, s.top() + 46), 36, 20);
            p.setBrush(QColor(60, 160, 60));
            p.drawEllipse(QPointF(s.left() + 62, s.top() + 48), 34, 22);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(s.left() + 46, s.top() + 9), 8, 3.5);
            p.drawEllipse(QPointF(s.left() + 52, s.top() + 7), 6, 3.5);
            break;
        }
    }
    p.restore();
}

// 2: desktop wallpapers, a monitor cycling through pictures; `sparkle` adds a twinkle.
QImage wallpaperScene(int picture, int sparkle) {
    QImage out = blankBanner(QColor(0, 96, 110), QColor(0, 40, 56));
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    // The monitor.
    p.setPen(QPen(QColor(20, 20, 30), 1));
    p.setBrush(QColor(210, 214, 224));
    p.drawRoundedRect(QRectF(14.5, 4.5, 82, 46), 3, 3);
    p.setBrush(QColor(170, 176, 190));
    p.drawRect(QRectF(47.5, 50.5, 16, 3));
    p.drawRoundedRect(QRectF(37.5, 53.5, 36, 4), 2, 2);
    landscape(p, QRect(19, 8, 73, 39), picture);

    drawFancyText(p, sans(23, true), QPointF(112, 30), QStringLiteral("Обои для рабочего стола"),
                  QColor(255, 255, 255), QColor(170, 240, 255), QColor(0, 30, 40), 2.5);
    p.setFont(sans(13, true));
    p.setPen(QColor(255, 214, 110));
    p.drawText(QPointF(114, 50), QStringLiteral("Тысячи картинок — бесплатно, каждый день новые"));
    if (sparkle == 1) drawSparkle(p, QPointF(113, 11), 9, QColor(255, 255, 230));
    if (sparkle == 2) drawSparkle(p, QPointF(444, 14), 9, QColor(255, 255, 230));
    frameBorder(p, QColor(120, 230, 240));
    return out;
}

// 3: the partner's arcade, invaders marching over a starry sky and a cannon firing.
QImage arcadeScene(int step) {
    QImage out = canvas(kWidth, kHeight, QColor(4, 4, 16));
    QPainter p(&out);
    drawStars(p, out.rect(), 70, 0x5eed0004u);
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(sans(26, true));
    p.setPen(QColor(0, 90, 30));
    p.drawText(QPointF(14, 31), QStringLiteral("MERROW GAMES"));
    p.setPen(QColor(90, 255, 130));
    p.drawText(QPointF(12, 29), QStringLiteral("MERROW GAMES"));
    p.setFont(sans(13, true));
    p.setPen(step == 5 ? QColor(255, 230, 90) : QColor(230, 236, 255));
    p.drawText(QPointF(14, 50), QStringLiteral("Новые игры каждую неделю!"));

    const QColor colours[3] = {QColor(255, 120, 200), QColor(120, 210, 255), QColor(255, 220, 90)};
    const int march = (step % 5) * 5;
    for (int i = 0; i < 5; ++i)
        drawAlien(p, QPointF(250 + march + i * 34, 6), 2, colours[i % 3], step % 2);
    // The cannon and its shot.
    const double cannon = 330 + (step % 5) * 6;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 255, 130));
    p.drawRect(QRectF(cannon - 8, 52, 16, 5));
    p.drawRect(QRectF(cannon - 1.5, 47, 3, 5));
    if (step == 2 || step == 3)
        p.fillRect(QRectF(cannon - 1, step == 2 ? 36 : 24, 2, 7), Qt::white);
    if (step == 4) drawSparkle(p, QPointF(cannon + 2, 18), 7, QColor(255, 240, 160));
    p.fillRect(QRectF(240, 58, 228, 1), QColor(90, 255, 130));
    frameBorder(p, QColor(90, 255, 130));
    return out;
}

// 4: a tiny space shooter, ending on a title card in a colour of its own.
QImage shooterScene(int step) {
    if (step == 4) {
        QImage out = blankBanner(QColor(255, 140, 30), QColor(200, 20, 60));
        QPainter p(&out);
        drawFancyText(p, sans(26, true), QPointF(24, 40),
                      QStringLiteral("Флеш-игры бесплатно — жми!"), QColor(255, 255, 255),
                      QColor(255, 236, 200), QColor(110, 0, 20), 3);
        drawSparkle(p, QPointF(16, 14), 7, QColor(255, 255, 220));
        drawSparkle(p, QPointF(446, 44), 9, QColor(255, 255, 220));
        frameBorder(p, QColor(255, 240, 200));
        return out;
    }
    QImage out = blankBanner(QColor(6, 10, 40), QColor(20, 30, 80));
    QPainter p(&out);
    drawStars(p, out.rect(), 90, 0x5eed0005u);
    p.setRenderHint(QPainter::Antialiasing);
    // The ship.
    QPainterPath ship;
    ship.moveTo(60, 22);
    ship.lineTo(30, 10);
    ship.lineTo(36, 22);
    ship.lineTo(30, 34);
    ship.closeSubpath();
    p.setPen(QPen(QColor(20, 40, 90), 1));
    p.setBrush(QColor(200, 220, 255));
    p.drawPath(ship);
    p.setBrush(QColor(255, 160, 40));
    p.drawEllipse(QPointF(29, 22), 4 + (step % 2), 2.5);
    // The rock, or what is left of it.
    const QPointF rock(410, 24);
    if (step < 2) {
        p.setBrush(QColor(130, 110, 96));
        p.setPen(QPen(QColor(60, 50, 40), 1.2));
        QPainterPath stone;
        stone.moveTo(rock + QPointF(-16, -4));
        stone.lineTo(rock + QPointF(-6, -17));
        stone.lineTo(rock + QPointF(12, -13));
        stone.lineTo(rock + QPointF(18, 3));
        stone.lineTo(rock + QPointF(8, 16));
        stone.lineTo(rock + QPointF(-12, 13));
        stone.closeSubpath();
        p.drawPath(stone);
        p.setBrush(QColor(96, 80, 70));
        p.setPen(Qt::NoPen);
        p.drawEllipse(rock + QPointF(-3, -4), 4, 3);
        p.drawEllipse(rock + QPointF(7, 6), 3, 2.5);
    }
    if (step == 1) {
        p.setPen(QPen(QColor(255, 60, 60, 120), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(62, 22), rock - QPointF(16, 2));
        p.setPen(QPen(QColor(255, 230, 230), 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(62, 22), rock - QPointF(16, 2));
    }
    if (step >= 2) {
        const double r = step == 2 ? 22 : 14;
        QRadialGradient boom(rock, r);
        boom.setColorAt(0, QColor(255, 255, 200));
        boom.setColorAt(0.5, QColor(255, 160, 30));
        boom.setColorAt(1, QColor(200, 30, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(boom);
        p.drawEllipse(rock, r, r);
    }
    p.setFont(sans(11, true));
    p.setPen(QColor(150, 200, 255));
    p.drawText(QPointF(196, 15),
               step == 3 ? QStringLiteral("СЧЁТ  000100") : QStringLiteral("СЧЁТ  000000"));
    if (step == 3) {
        p.setFont(sans(16, true));
        p.setPen(QColor(255, 240, 120));
        p.drawText(QPointF(366, 54), QStringLiteral("+100"));
    }
    drawFancyText(p, sans(21, true), QPointF(150, 52), QStringLiteral("Играй онлайн!"),
                  QColor(150, 240, 255), QColor(60, 150, 255), QColor(0, 10, 40), 2.5);
    frameBorder(p, QColor(90, 150, 255));
    return out;
}

}  // namespace

std::vector<GifFrame> drawBanner(int number) {
    switch (number) {
        case 1:
            return {{flashGamesScene(0), 170, 1}, {flashGamesScene(1), 150, 1},
                    {flashGamesScene(2), 150, 1}, {flashGamesScene(3), 60, 1},
                    {flashGamesScene(4), 35, 1},  {flashGamesScene(3), 60, 1},
                    {flashGamesScene(4), 35, 1}};
        case 2:
            // The twinkles are drawn over the current picture and then undone.
            return {{wallpaperScene(0, 0), 140, 1}, {wallpaperScene(0, 1), 12, 3},
                    {wallpaperScene(1, 0), 140, 1}, {wallpaperScene(2, 0), 140, 1},
                    {wallpaperScene(2, 2), 12, 3},  {wallpaperScene(3, 0), 140, 1}};
        case 3:
            return {{arcadeScene(0), 30, 1}, {arcadeScene(1), 30, 1}, {arcadeScene(2), 20, 1},
                    {arcadeScene(3), 20, 1}, {arcadeScene(4), 45, 1}, {arcadeScene(5), 120, 1}};
        case 4:
            // The title card clears itself away before the loop starts over.
            return {{shooterScene(0), 110, 1},
                    {shooterScene(1), 8, 1},
                    {shooterScene(2), 12, 1},
                    {shooterScene(3), 60, 1},
                    {shooterScene(4), 250, 2}};
        default:
            throw std::invalid_argument("drawBanner: banners are numbered 1 to 4");
    }
}

}  // namespace artgen
