// artgen OUTDIR [--sheet FILE.png]
//
// Draws every picture the viewer embeds and writes them into OUTDIR in the layout that
// assets/CMakeLists.txt embeds. With --sheet it also renders a contact sheet: a mock-up
// of the main window, every bitmap enlarged, the two JPEG pictures and every banner frame,
// decoded back from the written files.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "art.h"
#include "contact_sheet.h"
#include "writers.h"

namespace {

void save(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

// The lettering must not depend on what fontconfig would pick on this machine.
void loadFonts() {
    for (const char* name : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}) {
        const QString path = QStringLiteral("/usr/share/fonts/truetype/liberation2/") + name;
        if (QFontDatabase::addApplicationFont(path) < 0)
            throw std::runtime_error(
                ("missing font " + path + " (fonts-liberation2)").toStdString());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs a font database but never a screen.
    std::vector<char*> args(argv, argv + argc);
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    args.insert(args.begin() + 1, {platform, offscreen});
    int qtArgc = int(args.size());
    QGuiApplication app(qtArgc, args.data());

    const QStringList params = app.arguments().mid(1);
    if (params.size() != 1 && !(params.size() == 3 && params[1] == QLatin1String("--sheet"))) {
        std::fprintf(stderr, "usage: artgen OUTDIR [--sheet FILE.png]\n");
        return 2;
    }
    try {
        loadFonts();
        const QDir out(params[0]);
        for (const char* sub : {"coolimages1", "coolimages2", "icons"})
            if (!out.mkpath(QLatin1String(sub)))
                throw std::runtime_error("cannot create " + out.filePath(sub).toStdString());

        // Each bitmap twice: for ordinary screens, and drawn afresh at twice the pixels
        // ("@2x") for high-density ones. The contact sheet shows the first set.
        artgen::Artwork art;
        for (const int scale : artgen::kScales) {
            const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
            const std::vector<QImage> first = artgen::drawCoolImages1(scale);
            const std::vector<QImage> second = artgen::drawCoolImages2(scale);
            for (size_t i = 0; i < first.size(); ++i)
                save(out.filePath(QString::asprintf("coolimages1/%02zu", i) + suffix + ".bmp"),
                     artgen::encodeBmp24(first[i]));
            for (size_t i = 0; i < second.size(); ++i)
                save(out.filePath(QString::asprintf("coolimages2/%02zu", i) + suffix + ".bmp"),
                     artgen::encodeBmp24(second[i]));
            // At twice the pixels the compression's blocks are half as large on screen,
            // so a lower quality looks the same and keeps the executable smaller.
            const int quality = scale == 1 ? 92 : 80;
            const QByteArray strip = artgen::encodeJpeg(artgen::drawBannerStrip(scale), quality);
            save(out.filePath("banner_strip" + suffix + ".jpg"), strip);
            const QByteArray splash = artgen::encodeJpeg(artgen::drawSplash(scale), quality);
            save(out.filePath("splash" + suffix + ".jpg"), splash);
            if (scale == 1) {
                art.coolImages1 = first;
                art.coolImages2 = second;
                art.bannerStrip = strip;
                art.splash = splash;
            }
        }
        // The banners stay at one scale: see assets/README.md.
        for (int n = 1; n <= 4; ++n) {
            art.banners.push_back(artgen::encodeAnimatedGif(artgen::drawBanner(n)));
            save(out.filePath(QStringLiteral("banner%1.gif").arg(n)), art.banners.back());
        }
        for (const int size : artgen::kIconSizes) {
            if (!artgen::drawIcon(size).save(out.filePath(QStringLiteral("icons/%1.png").arg(size)),
                                             "PNG"))
                throw std::runtime_error("cannot write icon " + std::to_string(size));
        }
        if (params.size() == 3 && !artgen::contactSheet(art).save(params[2], "PNG"))
            throw std::runtime_error("cannot write " + params[2].toStdString());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "artgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
