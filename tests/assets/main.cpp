#include <QGuiApplication>

#include <gtest/gtest.h>

#include "../gui/plain_screen.h"
#include "hk_assets.h"

// Decoding goes through Qt's image plugins and the generator draws lettering, so the
// tests need a GUI application, but never a screen: test discovery runs this binary
// outside ctest's environment, so offscreen is the default here.
int main(int argc, char** argv) {
    hk::testing::UsePlainScreen();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    hk::assets::init();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
