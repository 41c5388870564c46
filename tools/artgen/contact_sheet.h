#pragma once

#include <QByteArray>
#include <QImage>

#include <vector>

namespace artgen {

// Everything artgen wrote; the pictures as files, so the sheet shows what decoders see.
struct Artwork {
    std::vector<QImage> coolImages1, coolImages2;
    QByteArray bannerStrip, splash;
    std::vector<QByteArray> banners;
};

QImage contactSheet(const Artwork& art);

}  // namespace artgen
