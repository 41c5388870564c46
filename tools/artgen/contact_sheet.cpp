// A picture for people: the artwork put together roughly as the main window shows it,
// then every piece on its own.
#include "contact_sheet.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

#include "art.h"

namespace artgen {
namespace {

void tile(QPainter& p, const QImage& image, const QRect& area) {
    p.save();
    p.setClipRect(area);
    for (int y = area.top(); y <= area.bottom(); y += image.height())
        for (int x = area.left(); x <= area.right(); x += image.width()) p.drawImage(x, y, image);
    p.restore();
}

void caption(QPainter& p, const QRect& area, const QString& text, int flags, int pixelSize = 13) {
    p.setFont(sans(pixelSize, true));
    p.setPen(Qt::black);
    p.drawText(area, flags | Qt::AlignVCenter, text);
}

std::vector<QImage> gifFrames(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    std::vector<QImage> frames;
    for (QImage frame; reader.read(&frame);) frames.push_back(frame);
    return frames;
}

// The main window at its laid-out size, 777 x 433.
QImage mockWindow(const Artwork& art) {
    const auto& c1 = art.coolImages1;
    const auto& c2 = art.coolImages2;
    QImage w = canvas(777, 433, QColor(212, 208, 200));
    QPainter p(&w);
    // Frame and title bar.
    p.drawImage(0, 0, c2[0]);
    tile(p, c2[1], QRect(6, 0, 669, 27));
    p.drawImage(675, 0, c2[2]);
    p.drawImage(675 + 27, 3, c1[16]);
    p.drawImage(675 + 51, 3, c1[19]);
    p.drawImage(675 + 75, 3, c1[23]);
    tile(p, c2[8], QRect(0, 27, 6, 400));
    p.drawImage(771, 27, c2[3]);
    tile(p, c2[4], QRect(771, 35, 6, 392));
    p.drawImage(0, 427, c2[7]);
    tile(p, c2[6], QRect(6, 427, 765, 6));
    p.drawImage(771, 427, c2[5]);
    // Banner strip.
    const QPoint work(6, 27);
    tile(p, c1[9], QRect(work, QSize(765, 79)));
    p.drawImage(work, QImage::fromData(art.bannerStrip));
    const std::vector<QImage> banner = gifFrames(art.banners.at(0));
    if (!banner.empty()) p.drawImage(work + QPoint(291, 10), banner.front());
    // Left column: header, search bar, list.
    const QPoint left = work + QPoint(0, 79);
    tile(p, c1[5], QRect(left, QSize(297, 26)));
    caption(p, QRect(left, QSize(297, 26)), QStringLiteral("Список игр"), Qt::AlignHCenter);
    tile(p, c1[6], QRect(left + QPoint(0, 26), QSize(297, 33)));
    caption(p, QRect(left + QPoint(0, 26), QSize(297, 33)), QStringLiteral(" Поиск:"),
            Qt::AlignLeft);
    p.fillRect(QRect(left + QPoint(53, 30), QSize(242, 24)), kPaleGrey);
    p.fillRect(QRect(left + QPoint(0, 59), QSize(297, 210)), kPaleGrey);
    p.fillRect(QRect(left + QPoint(0, 59), QSize(297, 13)), QColor(10, 36, 106));
    p.setFont(sans(11, true));
    const char* games[] = {"Age of Empires II", "Baldur's Gate", "Blood",
                           "Carmageddon",       "Diablo",        "Doom II",
                           "Duke Nukem 3D",     "Fallout 2",     "Half-Life"};
    for (int i = 0; i < 9; ++i) {
        p.setPen(i == 0 ? Qt::white : Qt::black);
        p.drawText(left + QPoint(2, 69 + 13 * i), QString::fromLatin1(games[i]));
    }
    // Splitter and right column.
    p.fillRect(QRect(left + QPoint(297, 0), QSize(6, 269)), kPaleGrey);
    p.fillRect(QRect(left + QPoint(297, 0), QSize(1, 269)), Qt::white);
    p.fillRect(QRect(left + QPoint(302, 0), QSize(1, 269)), QColor(128, 128, 128));
    const QPoint right = left + QPoint(303, 0);
    tile(p, c1[5], QRect(right, QSize(462, 26)));
    caption(p, QRect(right, QSize(462, 26)), QStringLiteral("Age of Empires II"), Qt::AlignHCenter);
    p.fillRect(QRect(right + QPoint(0, 26), QSize(462, 243)), kPaleGrey);
    p.setFont(QFont(QStringLiteral("Liberation Mono"), 9));
    p.setPen(Qt::black);
    p.drawText(right + QPoint(6, 44), QStringLiteral("Нажмите Enter и введите код:"));
    p.drawText(right + QPoint(6, 58), QStringLiteral("  robin hood      - 10000 золота"));
    // Bottom bar.
    const QPoint bar = left + QPoint(0, 269);
    tile(p, c1[0], QRect(bar, QSize(765, 52)));
    p.drawImage(bar + QPoint(297, 0), c1[25]);
    p.drawImage(bar + QPoint(88 + 9, 8), c1[1]);
    p.drawImage(bar + QPoint(88 + 57, 7), c1[4]);
    p.drawImage(bar + QPoint(469, 18), c1[29]);
    p.drawImage(bar + QPoint(498, 18), c1[27]);
    p.drawImage(bar + QPoint(527, 18), c1[13]);
    p.drawImage(bar + QPoint(693, 18), c1[12]);
    return w;
}

// The About box at its laid-out size, 332 x 317.
QImage mockAbout(const Artwork& art) {
    const auto& c1 = art.coolImages1;
    const auto& c2 = art.coolImages2;
    QImage w = canvas(332, 317, QColor(212, 208, 200));
    QPainter p(&w);
    p.drawImage(0, 0, c2[0]);
    tile(p, c2[1], QRect(6, 0, 224, 27));
    caption(p, QRect(6, 0, 224, 27), QStringLiteral("О программе"), Qt::AlignLeft, 11);
    p.drawImage(230, 0, c2[2]);
    p.drawImage(230 + 75, 3, c1[22]);
    tile(p, c2[8], QRect(0, 27, 6, 284));
    p.drawImage(326, 27, c2[3]);
    tile(p, c2[4], QRect(326, 35, 6, 276));
    p.drawImage(0, 311, c2[7]);
    tile(p, c2[6], QRect(6, 311, 320, 6));
    p.drawImage(326, 311, c2[5]);
    p.drawImage(6, 27, QImage::fromData(art.splash));
    p.fillRect(QRect(6, 227, 320, 32), kPaleGrey);
    p.setFont(sans(13, false));
    p.setPen(QColor(10, 36, 106));
    p.drawText(QRect(6 + 57, 227 + 8, 207, 16), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Заказать рекламу в программе"));
    tile(p, c1[0], QRect(6, 259, 320, 52));
    p.drawImage(6 + 132, 259 + 15, c1[32]);
    return w;
}

}  // namespace

QImage contactSheet(const Artwork& art) {
    QImage sheet = canvas(1200, 3200, QColor(250, 250, 250));
    QPainter p(&sheet);
    p.setFont(sans(12, false));
    int y = 10;
    p.drawImage(10, y, mockWindow(art));
    p.drawImage(800, y, mockAbout(art));
    y += 433 + 20;

    // Every bitmap at three times its size, with its index.
    auto shelf = [&](const std::vector<QImage>& images, const QString& name, int scale) {
        p.setPen(Qt::black);
        p.drawText(10, y + 12, name);
        y += 18;
        int x = 10, rowHeight = 0;
        for (size_t i = 0; i < images.size(); ++i) {
            const QSize size = images[i].size() * scale;
            const int width = std::max(size.width(), 24);
            if (x + width > 1190) x = 10, y += rowHeight + 22, rowHeight = 0;
            p.drawImage(QRect(QPoint(x, y + 14), size), images[i]);
            p.drawText(x, y + 11, QString::number(i));
            x += width + 12;
            rowHeight = std::max(rowHeight, size.height() + 14);
        }
        y += rowHeight + 24;
    };
    shelf(art.coolImages1, QStringLiteral("CoolImages1 (x3)"), 3);
    shelf(art.coolImages2, QStringLiteral("CoolImages2 (x4)"), 4);

    p.drawImage(10, y, QImage::fromData(art.splash));
    p.drawImage(350, y, QImage::fromData(art.bannerStrip));
    y += 210;
    for (size_t b = 0; b < art.banners.size(); ++b) {
        QBuffer buffer;
        buffer.setData(art.banners[b]);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "gif");
        int x = 10;
        for (QImage frame; reader.read(&frame);) {
            if (x + 468 > 1190) x = 10, y += 76;
            p.drawImage(x, y + 14, frame);
            p.setPen(Qt::black);
            p.drawText(x, y + 11,
                       QStringLiteral("banner %1, %2 ms").arg(b + 1).arg(reader.nextImageDelay()));
            x += 478;
        }
        y += 80;
    }
    p.end();
    return sheet.copy(0, 0, 1200, std::min(y + 10, sheet.height()));
}

}  // namespace artgen
