#include <QCoreApplication>

#include <gtest/gtest.h>

#include "hk_assets.h"

// Image decoding goes through Qt's format plugins, which want an application object.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    hk::assets::init();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
