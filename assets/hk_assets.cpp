#include "hk_assets.h"

#include <QtGlobal>

#include <stdexcept>
#include <string>

// Q_INIT_RESOURCE declares a function and must stay outside any namespace.
static void registerEmbeddedArtwork() {
    Q_INIT_RESOURCE(hk_assets);
}

namespace hk::assets {
namespace {

QString indexedPath(const char* collection, int index, int count, const char* suffix = "") {
    if (index < 0 || index >= count)
        throw std::out_of_range(std::string(collection) + " has no bitmap " +
                                std::to_string(index));
    return QStringLiteral(":/assets/%1/%2%3.bmp")
        .arg(QLatin1String(collection))
        .arg(index, 2, 10, QLatin1Char('0'))
        .arg(QLatin1String(suffix));
}

}  // namespace

void init() {
    registerEmbeddedArtwork();
}

QString coolImages1Path(int index) {
    return indexedPath("coolimages1", index, kCoolImages1Count);
}

QString coolImages2Path(int index) {
    return indexedPath("coolimages2", index, kCoolImages2Count);
}

QString coolImages1Path2x(int index) {
    return indexedPath("coolimages1", index, kCoolImages1Count, "@2x");
}

QString coolImages2Path2x(int index) {
    return indexedPath("coolimages2", index, kCoolImages2Count, "@2x");
}

QString bannerPath(int slot) {
    if (slot < 1 || slot > kBannerSlotCount)
        throw std::out_of_range("no banner slot " + std::to_string(slot));
    return QStringLiteral(":/assets/banner%1.gif").arg(slot == 5 ? 3 : slot);
}

QString iconPath(int size) {
    for (const int known : kIconSizes)
        if (known == size) return QStringLiteral(":/assets/icons/%1.png").arg(size);
    throw std::out_of_range("no icon of " + std::to_string(size) + " pixels");
}

}  // namespace hk::assets
