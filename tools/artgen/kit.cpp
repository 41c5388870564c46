#include <QPainter>

#include <algorithm>
#include <cmath>

#include "art.h"

namespace artgen {

QColor mix(const QColor& a, const QColor& b, double t) {
    auto lerp = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()));
}

QColor ramp(std::initializer_list<std::pair<double, QColor>> stops, double t) {
    t = std::clamp(t, 0.0, 1.0);
    const auto* previous = stops.begin();
    for (const auto* stop = stops.begin(); stop != stops.end(); ++stop) {
        if (t <= stop->first) {
            if (stop == previous) return stop->second;
            return mix(previous->second, stop->second,
                       (t - previous->first) / (stop->first - previous->first));
        }
        previous = stop;
    }
    return previous->second;
}

QImage tiled(const QImage& strip, int width, int height) {
    QImage out = canvas(width, height);
    QPainter p(&out);
    for (int y = 0; y < height; y += strip.height())
        for (int x = 0; x < width; x += strip.width()) p.drawImage(x, y, strip);
    return out;
}

QFont sans(int pixelSize, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage canvas(int width, int height, const QColor& fill) {
    QImage out(width, height, QImage::Format_RGB32);
    out.fill(fill);
    return out;
}

}  // namespace artgen
