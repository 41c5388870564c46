// The viewer's built-in artwork, embedded as Qt resources by the hk_assets library.
#pragma once

#include <QString>

namespace hk::assets {

// Registers the resources. Call once before the first lookup; the library is static, so
// without this call the linker may leave the resource data out of the executable.
void init();

// Bitmaps of the main window's two collections, by their index (24-bit BMP files).
inline constexpr int kCoolImages1Count = 35;
inline constexpr int kCoolImages2Count = 9;
QString coolImages1Path(int index);  // ":/assets/coolimages1/07.bmp"
QString coolImages2Path(int index);  // ":/assets/coolimages2/03.bmp"
// The same bitmaps drawn afresh at twice the pixels each way, for high-density screens.
QString coolImages1Path2x(int index);  // ":/assets/coolimages1/07@2x.bmp"
QString coolImages2Path2x(int index);  // ":/assets/coolimages2/03@2x.bmp"

// The 300 x 79 JPEG at the left end of the banner strip and the 320 x 200 splash JPEG.
inline constexpr const char* kBannerStripPath = ":/assets/banner_strip.jpg";
inline constexpr const char* kSplashPath = ":/assets/splash.jpg";
inline constexpr const char* kBannerStripPath2x = ":/assets/banner_strip@2x.jpg";  // 600 x 158
inline constexpr const char* kSplashPath2x = ":/assets/splash@2x.jpg";             // 640 x 400

// The animated 468 x 60 GIF shown by banner slot 1 to 5; slots 3 and 5 share one file.
inline constexpr int kBannerSlotCount = 5;
QString bannerPath(int slot);  // slot 5 gives ":/assets/banner3.gif"

// The program's icon, one PNG with a transparent surround per size: the window icon,
// where each size up to 128 has its double for high-density screens. (The 512-pixel
// icon beside them is for the desktop's icon theme only and is not embedded: on X11
// it would put a megabyte into every window's icon property.)
inline constexpr int kIconSizes[] = {16, 32, 48, 64, 96, 128, 256};
QString iconPath(int size);  // ":/assets/icons/48.png"

}  // namespace hk::assets
