#include "window/tab_order.h"

#include <QWidget>
#include <algorithm>
#include <climits>
#include <unordered_map>
#include <vector>

namespace hk::window {

namespace {

using Places = std::unordered_map<const QWidget*, int>;

void CollectTabStops(const QWidget* parent, const Places& places, std::vector<QWidget*>& chain) {
    std::vector<QWidget*> children;
    for (QObject* child : parent->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow()) children.push_back(w);
    const auto place = [&places](const QWidget* w) {
        const auto it = places.find(w);
        return it == places.end() ? INT_MAX : it->second;
    };
    std::stable_sort(children.begin(), children.end(),
                     [&](const QWidget* a, const QWidget* b) { return place(a) < place(b); });
    for (QWidget* w : children) {
        // A tab stop's own children (a list's viewport, say) are its business.
        if (w->focusPolicy() & Qt::TabFocus)
            chain.push_back(w);
        else
            CollectTabStops(w, places, chain);
    }
}

}  // namespace

void ApplyTabOrder(QWidget* window, std::initializer_list<TabPlace> places) {
    Places byControl;
    for (const TabPlace& p : places) byControl[p.control] = p.tab;
    std::vector<QWidget*> chain;
    CollectTabStops(window, byControl, chain);
    for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

}  // namespace hk::window
