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
struct Artwork {
    std::vector<QImage> coolImages1;    // 35 button faces and strips
    std::vector<QImage> coolImages2;    // 9 frame pieces
    QImage bannerStrip;                 // 300 x 79, left end of the banner strip
    QImage splash;                      // 320 x 200, the splash and About picture
    std::array<QByteArray, 5> banners;  // GIF data of RxGIFAnimator1 ... 5
    QIcon windowIcon;                   // the program's icon, every size drawn
};

Artwork LoadArtwork();

}  // namespace hk::window
