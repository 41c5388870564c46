#include <gtest/gtest.h>

#include <QWidget>

#include "toolkit/dock_layout.h"

using namespace hk::toolkit;

namespace {

struct Host {
    QWidget widget;
    DockLayout* dock;
    explicit Host(QSize design) : dock(new DockLayout(&widget, design)) { widget.resize(design); }
    QWidget* add(Align align, QRect r, Anchors anchors = akLeft | akTop) {
        auto* w = new QWidget;
        dock->addControl(w, align, r, anchors);
        return w;
    }
    void resize(int w, int h) { dock->setGeometry(QRect(0, 0, w, h)); }
};

}  // namespace

TEST(DockLayout, EdgesStackByPositionAndClientTakesTheRest) {
    // The left column of the main window: two top bars created in reverse order.
    Host h({297, 269});
    QWidget* search = h.add(Align::Top, {0, 26, 297, 33});
    QWidget* list = h.add(Align::Client, {0, 59, 297, 210});
    QWidget* header = h.add(Align::Top, {0, 0, 297, 26});
    h.resize(297, 300);
    EXPECT_EQ(header->geometry(), QRect(0, 0, 297, 26));
    EXPECT_EQ(search->geometry(), QRect(0, 26, 297, 33));
    EXPECT_EQ(list->geometry(), QRect(0, 59, 297, 241));
}

TEST(DockLayout, LeftRightBottomAndEqualPositionsKeepCreationOrder) {
    Host h({777, 433});
    QWidget* bottom = h.add(Align::Bottom, {0, 427, 777, 6});
    QWidget* right = h.add(Align::Right, {771, 0, 6, 427});
    QWidget* left1 = h.add(Align::Left, {0, 0, 6, 427});
    QWidget* left2 = h.add(Align::Left, {0, 0, 10, 427});  // same left: after left1
    QWidget* client = h.add(Align::Client, {6, 0, 765, 427});
    h.resize(800, 500);
    EXPECT_EQ(bottom->geometry(), QRect(0, 494, 800, 6));
    EXPECT_EQ(right->geometry(), QRect(794, 0, 6, 494));
    EXPECT_EQ(left1->geometry(), QRect(0, 0, 6, 494));
    EXPECT_EQ(left2->geometry(), QRect(6, 0, 10, 494));
    EXPECT_EQ(client->geometry(), QRect(16, 0, 778, 494));
}

TEST(DockLayout, HiddenControlsTakeNoRoomAndConstraintsHold) {
    Host h({400, 100});
    QWidget* column = h.add(Align::Left, {0, 0, 297, 100});
    column->setMinimumWidth(220);
    column->setMaximumWidth(400);
    QWidget* hidden = h.add(Align::Top, {0, 0, 400, 30});
    hidden->hide();
    QWidget* client = h.add(Align::Client, {297, 0, 103, 100});
    column->resize(500, 100);  // dragged too far: held at the maximum
    h.resize(1000, 100);
    EXPECT_EQ(column->geometry(), QRect(0, 0, 400, 100));
    EXPECT_EQ(client->geometry(), QRect(400, 0, 600, 100));
    column->resize(100, 100);
    h.resize(1000, 100);
    EXPECT_EQ(column->width(), 220);
    EXPECT_EQ(client->x(), 220);
}

TEST(DockLayout, AnchorsFollowTheRightEdgeOrStretch) {
    Host h({765, 52});
    QWidget* exit = h.add(Align::None, {693, 18, 65, 22}, akTop | akRight);
    QWidget* edit = h.add(Align::None, {53, 4, 242 + 470, 24}, akLeft | akTop | akRight);
    QWidget* fixed = h.add(Align::None, {8, 8, 141, 13});
    h.resize(900, 60);
    EXPECT_EQ(exit->geometry(), QRect(828, 18, 65, 22));
    EXPECT_EQ(edit->geometry(), QRect(53, 4, 712 + 135, 24));
    EXPECT_EQ(fixed->geometry(), QRect(8, 8, 141, 13));
    h.resize(765, 52);
    EXPECT_EQ(exit->geometry(), QRect(693, 18, 65, 22));
}

TEST(DockLayout, ControlsWithoutHorizontalAnchorsKeepTheirCentreFraction) {
    // The arrow holder sits at 140.5 / 297 of its bar.
    Host h({297, 52});
    QWidget* holder = h.add(Align::None, {88, 0, 105, 53}, akTop);
    h.resize(220, 52);
    EXPECT_EQ(holder->x(), 52);  // 140.5 * 220 / 297 - 52.5 = 51.57
    h.resize(400, 52);
    EXPECT_EQ(holder->x(), 137);  // 189.2 - 52.5
    h.resize(297, 52);
    EXPECT_EQ(holder->geometry(), QRect(88, 0, 105, 53));
}

TEST(DockLayout, ControlsMovedByCodeAreFollowedFromTheirNewPlace) {
    Host h({765, 52});
    QWidget* button = h.add(Align::None, {693, 18, 65, 22}, akTop | akRight);
    h.resize(765, 52);
    button->move(10, 5);  // the program moved it
    h.resize(865, 52);
    EXPECT_EQ(button->pos(), QPoint(110, 5));
}
