// Entry point shared by the widget test executables: one application object
// for the whole run, on whatever platform QT_QPA_PLATFORM names (offscreen in CI).
#include <gtest/gtest.h>

#include <QApplication>

#include "plain_screen.h"

int main(int argc, char** argv) {
    hk::testing::UsePlainScreen();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
