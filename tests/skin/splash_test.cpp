#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <stdexcept>

#include "skin/TabcSplash.h"

using namespace hk::skin;

namespace {

QImage picture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(qRgb(30, 60, 90));
    return img;
}

// The main window's splash: 320 x 200 picture, bevel 1, 2 s, on a 1024 x 768 screen.
struct Rig {
    TabcSplash splash;
    int hides = 0, shows = 0;
    Rig() {
        splash.Picture = picture(320, 200);
        splash.BevelWidth = 1;
        splash.Duration = 2000;
        splash.setScreenSize({1024, 768});
        splash.setScreenDepth(32);
        splash.setArguments({"/opt/hk/hintkeeper"});
        splash.setExecutablePath("/nonexistent/hintkeeper");
        splash.OnHide = [this](QObject*) { ++hides; };
        splash.OnShow = [this](QObject*) { ++shows; };
    }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

}  // namespace

TEST(Splash, CentredOnTheScreenWithTheBevelAround) {
    Rig r;
    r.splash.Show();
    ASSERT_NE(r.splash.window(), nullptr);
    EXPECT_EQ(r.splash.window()->geometry(), QRect(351, 283, 322, 202));
    EXPECT_TRUE(r.splash.window()->isVisible());
    EXPECT_EQ(r.shows, 1);
    EXPECT_TRUE(r.splash.window()->closeTimer()->isActive());
    EXPECT_EQ(r.splash.window()->closeTimer()->interval(), 2000);
    EXPECT_TRUE(r.splash.window()->windowFlags() & Qt::WindowStaysOnTopHint);

    // A screen right of and below another: its origin counts.
    Rig beside;
    beside.splash.setScreenGeometry({1280, 100, 1024, 768});
    beside.splash.Show();
    ASSERT_NE(beside.splash.window(), nullptr);
    EXPECT_EQ(beside.splash.window()->geometry(), QRect(1631, 383, 322, 202));
}

TEST(Splash, NoSplashSwitchInAnyCaseAnywhereKeepsItAway) {
    for (const QStringList& args :
         {QStringList{"hk", "/NS"}, QStringList{"hk", "x", "-Ns", "y"}, QStringList{"hk", "/ns"}}) {
        Rig r;
        r.splash.setArguments(args);
        r.splash.setAutoShow(true);
        EXPECT_EQ(r.splash.window(), nullptr) << args.join(' ').toStdString();
        r.settle();
        EXPECT_EQ(r.hides, 0);
    }
    // Only whole parameters count, and not the program's own name.
    for (const QStringList& args :
         {QStringList{"/ns"}, QStringList{"hk", "--ns"}, QStringList{"hk", "ns"}}) {
        Rig r;
        r.splash.setArguments(args);
        r.splash.setAutoShow(true);
        EXPECT_NE(r.splash.window(), nullptr) << args.join(' ').toStdString();
    }
}

TEST(Splash, ShowsOnceAtATimeAndAgainAfterClosing) {
    Rig r;
    r.splash.Show();
    TabcsfSplash* first = r.splash.window();
    r.splash.Show();
    EXPECT_EQ(r.splash.window(), first);
    EXPECT_EQ(r.shows, 1);
    r.splash.Hide();
    EXPECT_EQ(r.hides, 1);
    EXPECT_EQ(r.splash.window(), nullptr);
    r.settle();
    r.splash.Show();
    EXPECT_NE(r.splash.window(), nullptr);
    EXPECT_EQ(r.shows, 2);
    // The picture stays with the component for other windows to use.
    EXPECT_EQ(r.splash.Picture.size(), QSize(320, 200));
}

TEST(Splash, WithoutAnyPictureShowRefuses) {
    TabcSplash splash;
    splash.setArguments({"hk"});
    try {
        splash.Show();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Picture required");
    }
    EXPECT_EQ(splash.window(), nullptr);
}

TEST(Splash, ClicksOnThePictureCloseOnlyWithHideOnClick) {
    Rig r;
    r.splash.HideOnClick = false;
    r.splash.Show();
    QTest::mouseClick(r.splash.window(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_NE(r.splash.window(), nullptr);
    EXPECT_EQ(r.hides, 0);
    r.splash.Hide();
    r.settle();

    r.splash.HideOnClick = true;
    r.splash.Show();
    QTest::mouseClick(r.splash.window(), Qt::LeftButton, {}, QPoint(0, 50));  // the bevel
    for (Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton})
        QTest::mouseClick(r.splash.window(), other, {}, QPoint(100, 100));
    // A press alone is no click yet, nor one that comes up off the picture.
    QTest::mousePress(r.splash.window(), Qt::LeftButton, {}, QPoint(100, 100));
    ASSERT_NE(r.splash.window(), nullptr);
    QTest::mouseRelease(r.splash.window(), Qt::LeftButton, {}, QPoint(0, 50));
    ASSERT_NE(r.splash.window(), nullptr);
    QTest::mouseClick(r.splash.window(), Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(r.splash.window(), nullptr);
    EXPECT_EQ(r.hides, 2);
}

TEST(Splash, ZeroDurationWaitsForAClickUnlessModal) {
    Rig r;
    r.splash.Duration = 0;
    r.splash.Show();
    EXPECT_FALSE(r.splash.window()->closeTimer()->isActive());
    r.splash.Hide();
    r.settle();

    r.splash.ShowModal = true;
    int interval = -1;
    QTimer::singleShot(0, [&] {
        interval = r.splash.window()->closeTimer()->interval();
        r.splash.Hide();
    });
    r.splash.Show();  // returns when the modal window closes
    EXPECT_EQ(interval, 5000);
    EXPECT_EQ(r.hides, 2);
    EXPECT_EQ(r.splash.window(), nullptr);
}

TEST(Splash, BitmapBesideTheProgramReplacesThePictureUnlessDamaged) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Rig r;
    r.splash.setExecutablePath(dir.filePath("hintkeeper"));
    ASSERT_TRUE(picture(100, 50).save(dir.filePath("hintkeeper.bmp"), "BMP"));
    r.splash.Show();
    EXPECT_EQ(r.splash.window()->size(), QSize(102, 52));
    r.splash.Hide();
    r.settle();

    QFile bad(dir.filePath("hintkeeper.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("BM this is not a bitmap");
    bad.close();
    r.splash.Show();
    EXPECT_EQ(r.splash.window()->size(), QSize(322, 202));
    r.splash.Hide();
    r.settle();

    r.splash.AllowLocalBmp = false;
    ASSERT_TRUE(picture(100, 50).save(dir.filePath("hintkeeper.bmp"), "BMP"));
    r.splash.Show();
    EXPECT_EQ(r.splash.window()->size(), QSize(322, 202));
}

TEST(Splash, VgaPictureServesSixteenColourScreensAndEmptyPicture) {
    Rig r;
    r.splash.PictureVGA = picture(200, 100);
    r.splash.setScreenDepth(4);
    r.splash.Show();
    EXPECT_EQ(r.splash.window()->size(), QSize(202, 102));
    r.splash.Hide();
    r.settle();
    r.splash.setScreenDepth(32);
    r.splash.Picture = QImage();
    r.splash.Show();
    EXPECT_EQ(r.splash.window()->size(), QSize(202, 102));
}

TEST(FormFactory, RefusesClassesOutsideTheBase) {
    TabcFormFactory factory;
    try {
        factory.RegisterAs(TabcsfSplash::staticMetaObject, QDialog::staticMetaObject,
                           [](QObject*) { return new QDialog; });
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Form Factory error: QDialog does not inherit from TabcsfSplash");
    }
    EXPECT_EQ(factory.Create(TabcsfSplash::staticMetaObject, nullptr), nullptr);
    factory.Register(TabcsfSplash::staticMetaObject, [](QObject*) { return new TabcsfSplash; });
    std::unique_ptr<QWidget> made(factory.Create(TabcsfSplash::staticMetaObject, nullptr));
    EXPECT_NE(qobject_cast<TabcsfSplash*>(made.get()), nullptr);
}

TEST(Splash, ShapedWindowCutsAwayTheBackgroundWithinTheTolerance) {
    // Background from the bottom-left pixel, (100, 100, 100); a near shade of it is
    // background too, the red square in the middle is not.
    QImage img = picture(40, 40);
    img.fill(qRgb(100, 100, 100));
    img.setPixel(0, 0, qRgb(110, 95, 100));
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 30; ++x) img.setPixel(x, y, qRgb(255, 0, 0));
    TabcsfSplash window;
    window.setPicture(img);
    window.setShapeTolerance(hk::toolkit::rgbColor(16, 16, 16));
    window.setShaped(true);
    EXPECT_TRUE(window.mask().contains(QPoint(20, 20)));
    EXPECT_FALSE(window.mask().contains(QPoint(5, 5)));
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
    EXPECT_EQ(window.mask().boundingRect(), QRect(10, 10, 20, 20));
}
