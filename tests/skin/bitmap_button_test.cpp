#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QtTest/QTest>
#include <string>
#include <vector>

#include "skin/TCoolBitmapButton.h"

using namespace hk::skin;

namespace {

QImage face(int w, int h, QRgb c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A 38 x 38 button at (57, 7) on a parent, recording its events.
struct Rig {
    QWidget parent;
    TCoolBitmapButton* button = new TCoolBitmapButton(&parent);
    std::vector<std::string> events;
    QPoint posAtClick;

    Rig() {
        parent.resize(200, 100);
        button->move(57, 7);
        button->setBitmap(face(38, 38, qRgb(100, 200, 250)));
        button->OnMouseDown = [this](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers, int, int) {
            events.push_back(b == Qt::RightButton ? "down(right)" : "down");
        };
        button->OnMouseUp = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            events.push_back("up");
        };
        button->OnClick = [this](QObject*) {
            events.push_back("click");
            posAtClick = button->pos();
        };
        button->OnKeyDown = [this](QObject*, int&, Qt::KeyboardModifiers) {
            events.push_back("keydown");
        };
        button->OnKeyUp = [this](QObject*, int&, Qt::KeyboardModifiers) {
            events.push_back("keyup");
        };
        button->OnMoseEnter = [this](QObject*) { events.push_back("enter"); };
        button->OnMouseLeave = [this](QObject*) { events.push_back("leave"); };
        parent.show();
    }
    QRgb facePixel() const { return button->Bitmap().pixel(5, 5); }
    void key(QEvent::Type type, int k, bool autoRepeat = false) {
        QKeyEvent e(type, k, Qt::NoModifier, k == Qt::Key_Space ? " " : "\r", autoRepeat);
        QApplication::sendEvent(button, &e);
    }
};

QRgb darkened(QRgb c) {
    return qRgb(darkenChannel(qRed(c)), darkenChannel(qGreen(c)), darkenChannel(qBlue(c)));
}

}  // namespace

TEST(BitmapButton, ChannelArithmeticRoundsHalfToEvenAndClamps) {
    EXPECT_EQ(darkenChannel(4), 4);
    EXPECT_EQ(lightenChannel(4), 5);
    EXPECT_EQ(darkenChannel(255), 224);
    EXPECT_EQ(lightenChannel(224), 255);
    EXPECT_EQ(lightenChannel(11), 12);  // 12.5
    EXPECT_EQ(lightenChannel(33), 38);  // 37.5
    EXPECT_EQ(lightenChannel(250), 255);
    EXPECT_EQ(darkenChannel(0), 0);
}

TEST(BitmapButton, LeftClickRaisesDownClickUpWhileStillShifted) {
    Rig r;
    const QRgb normal = r.facePixel();
    QTest::mousePress(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.button->pos(), QPoint(58, 8));
    EXPECT_EQ(r.facePixel(), darkened(normal));
    EXPECT_EQ(r.parent.focusWidget(), r.button);
    QTest::mouseRelease(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down", "click", "up"}));
    EXPECT_EQ(r.posAtClick, QPoint(58, 8));
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));
    EXPECT_FALSE(r.button->pressed());
}

TEST(BitmapButton, ReleaseOutsideOrRightButtonGivesNoClick) {
    Rig r;
    QTest::mousePress(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(r.button, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down", "up"}));
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));

    r.events.clear();
    QTest::mousePress(r.button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.button->pos(), QPoint(58, 8));
    QTest::mouseRelease(r.button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.events, (std::vector<std::string>{"down(right)", "up"}));
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));
}

TEST(BitmapButton, EffectsOffLeaveFaceAndPlaceAlone) {
    Rig r;
    r.button->setShadowEffect(false);
    r.button->setPositionEffect(false);
    const QRgb normal = r.facePixel();
    QTest::mousePress(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.facePixel(), normal);
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));
    QTest::mouseRelease(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(r.facePixel(), normal);
    EXPECT_EQ(r.events, (std::vector<std::string>{"down", "click", "up"}));
}

TEST(BitmapButton, HeldSpaceDarkensOnceAndClicksOnceOnRelease) {
    Rig r;
    const QRgb normal = r.facePixel();
    r.key(QEvent::KeyPress, Qt::Key_Space);
    for (int i = 0; i < 3; ++i) {  // auto-repeat sends release/press pairs
        r.key(QEvent::KeyRelease, Qt::Key_Space, true);
        r.key(QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(r.facePixel(), darkened(normal));
    EXPECT_EQ(r.button->pos(), QPoint(58, 8));
    r.key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));
    EXPECT_EQ(r.events, (std::vector<std::string>{"keydown", "keydown", "keydown", "keydown",
                                                  "keyup", "click"}));
    EXPECT_EQ(r.facePixel(), normal);  // these channels survive x 0.88 and / 0.88 exactly

    r.events.clear();
    r.key(QEvent::KeyPress, Qt::Key_Return);
    r.key(QEvent::KeyRelease, Qt::Key_Return);
    r.key(QEvent::KeyPress, Qt::Key_A);
    r.key(QEvent::KeyRelease, Qt::Key_A);
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"keydown", "keyup", "click", "keydown", "keyup"}));
}

TEST(BitmapButton, DisabledButtonTakesNoInput) {
    Rig r;
    r.button->setEnabled(false);
    QTest::mouseClick(r.button, Qt::LeftButton, {}, QPoint(10, 10));
    r.key(QEvent::KeyPress, Qt::Key_Space);
    r.key(QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_TRUE(r.events.empty());
    EXPECT_EQ(r.button->pos(), QPoint(57, 7));
}

TEST(BitmapButton, NewFaceResizesAndClearsTheRegion) {
    QWidget parent;
    TCoolBitmapButton button(&parent);
    EXPECT_EQ(button.size(), QSize(100, 100));
    EXPECT_EQ(button.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
    button.move(30, 40);
    QImage img = face(65, 22, qRgb(10, 20, 30));
    img.setPixel(0, 0, qRgb(255, 0, 255));
    button.setBitmap(img);
    EXPECT_EQ(button.geometry(), QRect(30, 40, 65, 22));

    button.Colors().Add(hk::toolkit::rgbColor(255, 0, 255));
    EXPECT_FALSE(button.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(button.mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(button.mask().contains(QPoint(64, 21)));

    button.setBitmap(img);
    EXPECT_EQ(button.Colors().Count(), 0);
    EXPECT_TRUE(button.mask().isEmpty());
}
