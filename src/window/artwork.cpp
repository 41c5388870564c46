#include "window/artwork.h"

#include <QFile>
#include <QImageReader>
#include <span>
#include <string>

#include "toolkit/jpeg_decoder.h"
#ifdef HK_HAVE_ASSETS
#include "hk_assets.h"
#endif

namespace hk::window {

namespace {

QByteArray ReadResource(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

QImage ReadJpeg(const QString& path) {
    const QByteArray data = ReadResource(path);
    QImage image;
    std::string error;
    if (!data.isEmpty())
        hk::toolkit::decodeJpeg(std::span(reinterpret_cast<const unsigned char*>(data.constData()),
                                          static_cast<size_t>(data.size())),
                                image, error);
    return image;
}

// The skin bitmaps are BMP files. Naming the format keeps Qt from loading every
// image plugin it has to sniff them, which would slow the start for nothing.
QImage ReadBmp(const QString& path) {
    QImageReader reader(path, "BMP");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

std::vector<QImage> ReadCollection(const QString& folder, int count, const QString& suffix = {}) {
    std::vector<QImage> images;
    images.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        images.push_back(ReadBmp(
            QString(":/assets/%1/%2%3.bmp").arg(folder).arg(i, 2, 10, QChar('0')).arg(suffix)));
    return images;
}

}  // namespace

Artwork LoadArtwork() {
#ifdef HK_HAVE_ASSETS
    hk::assets::init();
#endif
    Artwork art;
    art.coolImages1 = ReadCollection("coolimages1", 35);
    art.coolImages2 = ReadCollection("coolimages2", 9);
    art.bannerStrip = ReadJpeg(":/assets/banner_strip.jpg");
    art.splash = ReadJpeg(":/assets/splash.jpg");
    art.coolImages1x2 = ReadCollection("coolimages1", 35, "@2x");
    art.coolImages2x2 = ReadCollection("coolimages2", 9, "@2x");
    art.bannerStrip2x = ReadJpeg(":/assets/banner_strip@2x.jpg");
    art.splash2x = ReadJpeg(":/assets/splash@2x.jpg");
    // The fifth slot shows the third banner again.
    const int files[5] = {1, 2, 3, 4, 3};
    for (int i = 0; i < 5; ++i)
        art.banners[static_cast<size_t>(i)] =
            ReadResource(QString(":/assets/banner%1.gif").arg(files[i]));
#ifdef HK_HAVE_ASSETS
    for (const int size : hk::assets::kIconSizes)
        art.windowIcon.addFile(hk::assets::iconPath(size));
#endif
    return art;
}

}  // namespace hk::window
