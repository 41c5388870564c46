// The bitmaps of the two collections. Buttons are drawn over the very strip they sit on
// in the window, so their rounded corners melt into the bar around them.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <functional>

#include "art.h"

namespace artgen {
namespace {

// A strip `height` logical rows high, drawn at `scale` device pixels per logical one.
QImage stripFromRows(int height, int scale, const std::function<QColor(Row)>& row) {
    QImage out = canvas(scale, height * scale);
    for (int d = 0; d < out.height(); ++d)
        for (int x = 0; x < scale; ++x) out.setPixelColor(x, d, row(rowAt(d, scale)));
    return out;
}

// --- strips -------------------------------------------------------------------------

QColor barRow(Row r) {  // 52 rows: the bottom bar, the arrow holder, the banner slot
    if (r.y == 0) return kOutline;
    if (r.y == 1) return QColor(255, 255, 255);
    return ramp(
        {{0.0, QColor(238, 241, 248)}, {0.55, QColor(219, 225, 238)}, {1.0, QColor(194, 203, 223)}},
        (r.fine - 2) / 49.0);
}

QColor headerRow(Row r) {  // 26 rows: the list and codes headers
    if (r.y == 0) return kOutline;
    if (r.y == 1) return QColor(252, 253, 255);
    return ramp({{0.0, QColor(226, 233, 247)}, {1.0, QColor(168, 184, 215)}}, (r.fine - 2) / 23.0);
}

QColor searchRow(Row r) {  // 32 rows: the search bar, flat through the edit box's height
    if (r.y == 0) return kOutline;
    if (r.y == 1) return QColor(252, 253, 255);
    if (r.y < 8)
        return mix(QColor(226, 233, 247), QColor(205, 215, 236),
                   std::clamp((r.fine - 2) / 6.0, 0.0, 1.0));
    if (r.y < 24) return QColor(205, 215, 236);
    return mix(QColor(205, 215, 236), QColor(168, 184, 215),
               std::clamp((r.fine - 23) / 8.0, 0.0, 1.0));
}

QColor titleRow(Row r) {  // 27 rows of the title bar
    if (r.y == 0 || r.y == 26) return kOutline;
    if (r.y == 1) return QColor(250, 251, 255);
    return ramp(
        {{0.0, QColor(224, 230, 244)}, {0.5, QColor(196, 206, 228)}, {1.0, QColor(150, 166, 201)}},
        (r.fine - 2) / 23.0);
}

// Border columns from the inner edge (next to the work area) to the outer edge.
QColor borderStep(int step) {
    static const QColor steps[6] = {QColor(92, 100, 126),  QColor(194, 202, 222),
                                    QColor(234, 238, 247), QColor(190, 200, 222),
                                    QColor(148, 160, 191), kOutline};
    return steps[std::clamp(step, 0, 5)];
}

// --- shapes -------------------------------------------------------------------------

void fillRounded(QPainter& p, const QRectF& r, double radius, const QColor& top,
                 const QColor& bottom, const QColor& edge) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

// A soft band of light across the upper half, as on glass.
void gloss(QPainter& p, const QRectF& r, double radius, int alpha) {
    const QRectF band(r.left() + 1.5, r.top() + 1.5, r.width() - 3, r.height() * 0.45);
    QLinearGradient g(band.topLeft(), band.bottomLeft());
    g.setColorAt(0, QColor(255, 255, 255, alpha));
    g.setColorAt(1, QColor(255, 255, 255, alpha / 6));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(band, radius - 1, radius - 1);
}

enum class Face { Normal, Hover, Pressed };

struct Tones {
    QColor top, bottom, edge;
};

// --- buttons ------------------------------------------------------------------------

QImage arrowButton(const QImage& backdrop, bool pointsRight, Face face, int scale) {
    QImage out = backdrop.copy();
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(19, 19);
    const Tones tones = face == Face::Normal  ? Tones{{118, 206, 84}, {26, 124, 32}, {18, 78, 22}}
                        : face == Face::Hover ? Tones{{168, 238, 118}, {46, 162, 46}, {22, 96, 26}}
                                              : Tones{{30, 118, 32}, {86, 174, 66}, {14, 64, 16}};
    // Ring of shade round the button, then the dome.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 40, 0, 60));
    p.drawEllipse(QPointF(19.5, 20), 18.2, 18.2);
    QRadialGradient dome(QPointF(15, 12), 24);
    dome.setColorAt(0, tones.top);
    dome.setColorAt(1, tones.bottom);
    p.setPen(QPen(tones.edge, 1.2));
    p.setBrush(dome);
    p.drawEllipse(centre, 17, 17);
    if (face != Face::Pressed) {
        QLinearGradient shine(QPointF(0, 4), QPointF(0, 20));
        shine.setColorAt(0, QColor(255, 255, 255, face == Face::Hover ? 190 : 160));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawEllipse(QRectF(8, 3.5, 22, 15));
    }

    const double shift = face == Face::Pressed ? 1 : 0;
    QPainterPath arrow;
    arrow.moveTo(10, 16.5);
    arrow.lineTo(19, 16.5);
    arrow.lineTo(19, 10.5);
    arrow.lineTo(28.5, 19);
    arrow.lineTo(19, 27.5);
    arrow.lineTo(19, 21.5);
    arrow.lineTo(10, 21.5);
    arrow.closeSubpath();
    QTransform place;
    place.translate(shift, shift);
    if (!pointsRight) place.translate(38, 0).scale(-1, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 50, 0, 110));
    p.drawPath((place * QTransform::fromTranslate(1, 1.2)).map(arrow));
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(236, 255, 228), 0.6));
    p.drawPath(place.map(arrow));
    return out;
}

QImage pushButton(const QImage& backdrop, const QString& text, int pixelSize, Face face,
                  int scale) {
    QImage out = backdrop.copy();
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF r(0.5, 0.5, out.width() / scale - 1, out.height() / scale - 1);
    const Tones tones = face == Face::Normal  ? Tones{{84, 118, 192}, {18, 40, 112}, {14, 24, 70}}
                        : face == Face::Hover ? Tones{{118, 158, 232}, {36, 72, 164}, {18, 34, 92}}
                                              : Tones{{16, 34, 96}, {62, 92, 164}, {10, 18, 56}};
    fillRounded(p, r, 4, tones.top, tones.bottom, tones.edge);
    if (face != Face::Pressed) gloss(p, r, 4, face == Face::Hover ? 120 : 95);

    const double shift = face == Face::Pressed ? 1 : 0;
    const QRectF textBox = r.translated(shift, shift - 0.5);
    p.setFont(sans(pixelSize, true));
    p.setPen(QColor(0, 0, 40, 150));
    p.drawText(textBox.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(face == Face::Hover ? QColor(255, 226, 110) : QColor(255, 255, 255));
    p.drawText(textBox, Qt::AlignCenter, text);
    return out;
}

enum class Glyph { Minimise, Maximise, Close };

QImage windowButton(const QImage& backdrop, Glyph glyph, Face face, int scale) {
    QImage out = backdrop.copy();
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 20, 20);
    Tones tones;
    if (glyph == Glyph::Close)
        tones = face == Face::Normal  ? Tones{{238, 104, 88}, {176, 24, 18}, {96, 14, 10}}
                : face == Face::Hover ? Tones{{255, 142, 122}, {212, 40, 30}, {110, 18, 12}}
                                      : Tones{{150, 18, 14}, {214, 70, 56}, {80, 10, 8}};
    else
        tones = face == Face::Normal  ? Tones{{246, 247, 250}, {178, 182, 194}, {84, 86, 96}}
                : face == Face::Hover ? Tones{{255, 255, 255}, {196, 210, 236}, {70, 84, 118}}
                                      : Tones{{156, 160, 172}, {214, 216, 224}, {60, 62, 70}};
    fillRounded(p, r, 3, tones.top, tones.bottom, tones.edge);
    if (face != Face::Pressed) gloss(p, r, 3, glyph == Glyph::Close ? 90 : 120);

    const double s = face == Face::Pressed ? 1 : 0;
    p.translate(s, s);
    const QColor ink = glyph == Glyph::Close ? QColor(255, 255, 255) : QColor(36, 38, 48);
    switch (glyph) {
        case Glyph::Minimise:
            p.setRenderHint(QPainter::Antialiasing, false);
            p.fillRect(QRect(6, 14, 9, 3), ink);
            break;
        case Glyph::Maximise:
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRect(QRect(5, 5, 11, 3));  // the title bar of the little window
            p.drawRect(QRect(5, 8, 1, 8));
            p.drawRect(QRect(15, 8, 1, 8));
            p.drawRect(QRect(5, 15, 11, 1));
            break;
        case Glyph::Close: {
            QPen pen(QColor(90, 0, 0, 120), 2.6, Qt::SolidLine, Qt::RoundCap);
            p.setPen(pen);
            p.drawLine(QPointF(7.5, 7.8), QPointF(14.5, 14.8));
            p.drawLine(QPointF(14.5, 7.8), QPointF(7.5, 14.8));
            pen.setColor(ink);
            p.setPen(pen);
            p.drawLine(QPointF(7, 7), QPointF(14, 14));
            p.drawLine(QPointF(14, 7), QPointF(7, 14));
            break;
        }
    }
    return out;
}

enum class Icon { Info, Printer };

QImage iconButton(const QImage& backdrop, Icon icon, Face face, int scale) {
    QImage out = backdrop.copy();
    QPainter p(&out);
    p.scale(scale, scale);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 21, 21);
    const Tones tones = face == Face::Normal  ? Tones{{92, 150, 236}, {20, 68, 170}, {12, 34, 96}}
                        : face == Face::Hover ? Tones{{132, 184, 255}, {36, 96, 210}, {16, 44, 118}}
                                              : Tones{{16, 56, 148}, {70, 126, 214}, {8, 26, 78}};
    fillRounded(p, r, 3.5, tones.top, tones.bottom, tones.edge);
    if (face != Face::Pressed) gloss(p, r, 3.5, face == Face::Hover ? 120 : 90);

    const double s = face == Face::Pressed ? 1 : 0;
    p.translate(s, s);
    const QColor ink(255, 255, 255);
    if (icon == Icon::Info) {
        p.setPen(QPen(ink, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(11, 11), 7.4, 7.4);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(11, 7.3), 1.35, 1.35);
        p.drawRoundedRect(QRectF(9.9, 9.6, 2.2, 6.2), 0.6, 0.6);
    } else {
        const QColor paperLine = tones.bottom;
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRect(QRectF(7, 3.5, 8, 5));                      // paper waiting on top
        p.drawRoundedRect(QRectF(3.5, 8, 15, 7.5), 1.5, 1.5);  // the body
        p.setBrush(paperLine);
        p.drawRect(QRectF(6, 12, 10, 1.2));  // the slot
        p.setBrush(QColor(120, 255, 140));
        p.drawEllipse(QPointF(16, 10), 0.9, 0.9);  // power light
        p.setBrush(ink);
        p.drawRect(QRectF(7, 13.2, 8, 5.3));  // the printed sheet
        p.setBrush(paperLine);
        p.drawRect(QRectF(8.2, 15, 5.6, 0.8));
        p.drawRect(QRectF(8.2, 16.8, 4.2, 0.8));
    }
    return out;
}

QImage divider(const QImage& bar, int scale) {
    QImage out = tiled(bar, 7 * scale, bar.height());
    QPainter p(&out);
    p.scale(scale, scale);
    for (int d = scale; d < out.height(); ++d) {
        const QColor base = bar.pixelColor(0, d);
        for (int x = 0; x < scale; ++x) {
            out.setPixelColor(x, d, mix(base, QColor(255, 255, 255), 0.7));
            out.setPixelColor(6 * scale + x, d, mix(base, kOutline, 0.45));
            out.setPixelColor(5 * scale + x, d, mix(base, kOutline, 0.12));
        }
    }
    // Four grip marks, each a raised 2 x 2 dot.
    for (int i = 0; i < 4; ++i) {
        const int y = 19 + 4 * i;
        p.fillRect(2, y, 2, 2, QColor(255, 255, 255));
        p.fillRect(3, y + 1, 2, 2, QColor(96, 106, 134));
        p.fillRect(3, y + 1, 1, 1, QColor(176, 186, 210));
    }
    return out;
}

}  // namespace

std::vector<QImage> drawCoolImages1(int scale) {
    const int s = scale;
    const QImage bar = stripFromRows(52, s, barRow);
    // Where each button sits on its bar decides which rows of the strip show round it.
    auto under = [&](int width, int top, int height) {
        return tiled(bar, width * s, 52 * s).copy(0, top * s, width * s, height * s);
    };
    const QImage underPrevious = under(38, 8, 38);
    const QImage underNext = under(38, 7, 38);
    const QImage underMainButtons = under(160, 18, 22);
    const QImage underAboutButton = under(74, 15, 22);

    const QString exitText = QStringLiteral("Выход");
    const QString updateText = QStringLiteral("Проверить обновление");
    const QString closeText = QStringLiteral("Закрыть");
    const QImage titleRight = drawCoolImages2(s)[2];
    const QImage underWindowButton = titleRight.copy(75 * s, 3 * s, 21 * s, 21 * s);
    const QImage underMinimise = titleRight.copy(27 * s, 3 * s, 21 * s, 21 * s);
    const QImage underMaximise = titleRight.copy(51 * s, 3 * s, 21 * s, 21 * s);

    std::vector<QImage> images;
    images.push_back(bar);                                                  // 0
    images.push_back(arrowButton(underPrevious, false, Face::Normal, s));   // 1
    images.push_back(arrowButton(underPrevious, false, Face::Hover, s));    // 2
    images.push_back(arrowButton(underNext, true, Face::Normal, s));        // 3
    images.push_back(arrowButton(underNext, true, Face::Hover, s));         // 4
    images.push_back(stripFromRows(26, s, headerRow));                      // 5
    images.push_back(stripFromRows(32, s, searchRow));                      // 6
    images.push_back(arrowButton(underPrevious, false, Face::Pressed, s));  // 7
    images.push_back(arrowButton(underNext, true, Face::Pressed, s));       // 8
    images.push_back(stripFromRows(79, s, bannerStripRow));                 // 9
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})               // 10-12
        images.push_back(
            pushButton(underMainButtons.copy(0, 0, 65 * s, 22 * s), exitText, 12, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 13-15
        images.push_back(pushButton(underMainButtons, updateText, 12, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 16-18
        images.push_back(windowButton(underMinimise, Glyph::Minimise, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 19-21
        images.push_back(windowButton(underMaximise, Glyph::Maximise, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 22-24
        images.push_back(windowButton(underWindowButton, Glyph::Close, f, s));
    images.push_back(divider(bar, s));                         // 25
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 26-28
        images.push_back(iconButton(underMainButtons.copy(0, 0, 22 * s, 22 * s), Icon::Info, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 29-31
        images.push_back(
            iconButton(underMainButtons.copy(0, 0, 22 * s, 22 * s), Icon::Printer, f, s));
    for (Face f : {Face::Normal, Face::Hover, Face::Pressed})  // 32-34
        images.push_back(pushButton(underAboutButton, closeText, 12, f, s));
    return images;
}

std::vector<QImage> drawCoolImages2(int scale) {
    const int s = scale;
    std::vector<QImage> images;
    const QImage title = stripFromRows(27, s, titleRow);
    // A piece set pixel by pixel, as a function of the logical pixel each device pixel
    // falls in (and, for the title-bar gradient, of the device row).
    auto piece = [s](int width, int height, const std::function<QColor(int, Row)>& colour) {
        QImage out = canvas(width * s, height * s);
        for (int d = 0; d < out.height(); ++d)
            for (int x = 0; x < out.width(); ++x)
                out.setPixelColor(x, d, colour(x / s, rowAt(d, s)));
        return out;
    };

    // 0: left end of the title bar, a bevelled corner in the outline colour.
    images.push_back(piece(6, 27, [&](int x, Row r) {
        if (r.y < 1 || r.y > 25 || x > 1) return titleRow(r);
        if (x == 0) return kOutline;
        if (r.y == 1 || r.y == 25) return mix(kOutline, titleRow({r.y, double(r.y)}), 0.5);
        return mix(titleRow(r), QColor(255, 255, 255), 0.6);
    }));

    // 1: the middle strip.
    images.push_back(title);

    // 2: right end. The About box shows only the close button on it, so the ground
    // stays plain: no tray that would sit half empty there.
    images.push_back(piece(102, 27, [&](int x, Row r) {
        if (x == 101) return kOutline;
        if (x == 100 && (r.y == 1 || r.y == 25))
            return mix(kOutline, titleRow({r.y, double(r.y)}), 0.5);
        if (x == 100 && r.y > 0 && r.y < 26) return mix(titleRow(r), kOutline, 0.35);
        return titleRow(r);
    }));

    // 3: top of the right border, in the shade of the title bar above it.
    images.push_back(piece(6, 8, [](int x, Row r) {
        const double shade = r.y < 4 ? 0.30 - 0.075 * r.y : 0.0;
        return mix(borderStep(x), kOutline, x == 5 ? 0 : shade);
    }));

    // 4: right border, inner edge on the left.
    images.push_back(piece(6, 1, [](int x, Row) { return borderStep(x); }));

    // 5: bottom-right corner: each ring follows whichever edge is nearer.
    images.push_back(piece(6, 6, [](int x, Row r) { return borderStep(std::max(x, r.y)); }));

    // 6: bottom border, inner edge at the top.
    images.push_back(piece(1, 6, [](int, Row r) { return borderStep(r.y); }));

    // 7: bottom-left corner.
    images.push_back(piece(6, 6, [](int x, Row r) { return borderStep(std::max(5 - x, r.y)); }));

    // 8: left border, outer edge on the left.
    images.push_back(piece(6, 1, [](int x, Row) { return borderStep(5 - x); }));
    return images;
}

QColor bannerStripRow(Row r) {  // 79 rows behind the banner slot, night blue into black
    if (r.y == 78) return QColor(70, 92, 156);
    return ramp({{0.0, QColor(32, 46, 108)}, {0.45, QColor(12, 20, 64)}, {1.0, QColor(2, 4, 20)}},
                r.fine / 77.0);
}

}  // namespace artgen
