#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <array>
#include <vector>

namespace hk::window {

// The pictures stored with the window layouts, read from the embedded assets.
// A picture that is missing or cannot be decoded stays null; the layout still
// builds, only without that picture.
// Each picture but the banners also comes drawn at twice the pixels ("2x"), for
// high-density screens; a missing double leaves those screens the single picture.
struct Artwork {
    std::vector<QImage> coolImages1;    // 35 button faces and strips
    std::vector<QImage> coolImages2;    // 9 frame pieces
    std::vector<QImage> coolImages1x2;  // the same at twice the pixels
    std::vector<QImage> coolImages2x2;
    QImage bannerStrip;  // 300 x 79, left end of the banner strip
    QImage splash;       // 320 x 200, the splash and About picture
    QImage bannerStrip2x, splash2x;
    std::array<QByteArray, 5> banners;  // GIF data of RxGIFAnimator1 ... 5
    QIcon windowIcon;                   // the program's icon, every size drawn
};

Artwork LoadArtwork();

}  // namespace hk::window
