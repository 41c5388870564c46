#pragma once
// Places the children of one host widget the way the window layouts expect: controls
// docked to an edge are stacked from that edge in the order of their current positions,
// the client control takes the rest, and free controls follow their anchors.
//
//   auto* dock = new DockLayout(panel, {765, 52});
//   dock->addControl(bar, Align::Left, {0, 0, 297, 52});
//   dock->addControl(button, Align::None, {693, 18, 65, 22}, akTop | akRight);
//
// The widget's minimum and maximum sizes are its size constraints. Hidden controls take
// no room. A free control moved or resized by code (a pressed button shifting by one
// pixel) is followed from its new place at the next layout.

#include <QLayout>
#include <QList>
#include <QRect>
#include <QSize>

namespace hk::toolkit {

enum class Align { None, Top, Bottom, Left, Right, Client };

enum Anchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using Anchors = unsigned;

class DockLayout : public QLayout {
  public:
    // `designSize` is the host's client size the control rectangles were laid out in;
    // an empty size means the host's size at the time each control is added.
    explicit DockLayout(QWidget* host, QSize designSize = {});
    ~DockLayout() override;

    // Adopts `widget` as a child of the host, gives it `rect` and lays it out by `align`
    // (docked) or `anchors` (free; ignored for docked controls).
    void addControl(QWidget* widget, Align align, const QRect& rect,
                    Anchors anchors = akLeft | akTop);
    void setAlign(QWidget* widget, Align align);
    Align alignOf(const QWidget* widget) const;

    // QLayout. A widget added by addWidget() is free with left and top anchors.
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;
    Qt::Orientations expandingDirections() const override;

  private:
    struct Entry;
    Entry* find(const QWidget* widget) const;
    void placeFree(Entry& e, const QRect& area);

    QList<Entry*> entries_;
    QSize designSize_;
    QSize lastSize_;  // host size of the previous layout run
};

}  // namespace hk::toolkit
