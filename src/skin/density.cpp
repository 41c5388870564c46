#include "skin/density.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

namespace hk::skin {

qreal deviceRatio(const QPainter& painter) {
    // With a widget's painting redirected (a grab, or a render into an image) the
    // painter's own device is still the widget; the engine's device is the target.
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device) device = painter.device();
    return device ? device->devicePixelRatio() : 1.0;
}

QImage markedDoubled(const QImage& doubled) {
    QImage marked = doubled.copy();
    marked.setDevicePixelRatio(2.0);
    return marked;
}

QImage doubledFor(const QImage& base, const QImage& doubled, qreal ratio) {
    if (ratio <= 1.0 || base.isNull() || doubled.isNull()) return QImage();
    if (doubled.width() != 2 * base.width() || doubled.height() != 2 * base.height())
        return QImage();
    // Marking a shared image copies its pixels, so the controls keep theirs marked.
    return doubled.devicePixelRatio() == 2.0 ? doubled : markedDoubled(doubled);
}

void drawPicture(QPainter& painter, QPoint at, const QImage& base, const QImage& doubled) {
    const QImage picture = doubledFor(base, doubled, deviceRatio(painter));
    if (picture.isNull()) {
        painter.drawImage(at, base);
        return;
    }
    // At 2 this is a plain copy; between 1 and 2 the double is filtered down, which
    // keeps its detail better than magnifying the single picture.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(at, QSizeF(base.size())), picture);
    painter.restore();
}

QImage tiledDoubled(const QImage& doubled, QSize logicalSize) {
    QImage out(logicalSize * 2, QImage::Format_RGB32);
    out.fill(Qt::black);
    {
        // Tiles meet on whole device pixels here, at ratio 2 by construction.
        QImage tile = doubled;
        tile.setDevicePixelRatio(1.0);
        QPainter p(&out);
        for (int y = 0; y < out.height(); y += tile.height())
            for (int x = 0; x < out.width(); x += tile.width()) p.drawImage(x, y, tile);
    }
    out.setDevicePixelRatio(2.0);
    return out;
}

}  // namespace hk::skin
