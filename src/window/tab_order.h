#pragma once

#include <initializer_list>

class QWidget;

namespace hk::window {

// A control's place in its parent's keyboard order: the Tab column of a layout table.
struct TabPlace {
    QWidget* control;
    int tab;
};

// Chains the window's tab stops as the layout orders them: depth first through
// the control tree, each parent's children by their place, controls without
// one after those with one, in creation order.
void ApplyTabOrder(QWidget* window, std::initializer_list<TabPlace> places);

}  // namespace hk::window
