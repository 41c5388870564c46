// The screen every widget test runs on: the platform's own, at one device pixel
// per logical pixel and 96 dpi, in Qt's own style. A desktop's settings for its
// programs (a scale factor, a font DPI, a platform theme) would otherwise reach
// the tests run from it and move every pixel they look at.
#pragma once

#include <QtGlobal>

namespace hk::testing {

inline void UsePlainScreen() {
    for (const char* name :
         {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
          "QT_ENABLE_HIGHDPI_SCALING", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI",
          "QT_FONT_DPI", "QT_DEVICE_PIXEL_RATIO", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE"})
        qunsetenv(name);
}

}  // namespace hk::testing
