#include "toolkit/dock_layout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>
#include <cmath>
#include <vector>

namespace hk::toolkit {

struct DockLayout::Entry {
    QLayoutItem* item = nullptr;
    Align align = Align::None;
    Anchors anchors = akLeft | akTop;
    QRect ref;       // free controls: rectangle the anchors are measured from ...
    QSize refHost;   // ... and the host size it belonged to
    QRect assigned;  // what the last layout run gave the control
    bool placed = false;

    QWidget* widget() const { return item->widget(); }
};

namespace {

int clampWidth(const QWidget* w, int width) {
    return std::clamp(width, w->minimumWidth(), std::max(w->minimumWidth(), w->maximumWidth()));
}
int clampHeight(const QWidget* w, int height) {
    return std::clamp(height, w->minimumHeight(), std::max(w->minimumHeight(), w->maximumHeight()));
}

// Keeps the control's centre at the same fraction of the host extent.
int keepCentre(int refPos, int refLen, int refHost, int host, int len) {
    if (refHost <= 0) return refPos;
    const double centre = (refPos + refLen / 2.0) * host / refHost;
    return static_cast<int>(std::floor(centre - len / 2.0 + 0.5));
}

}  // namespace

DockLayout::DockLayout(QWidget* host, QSize designSize) : QLayout(host), designSize_(designSize) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

DockLayout::~DockLayout() {
    for (Entry* e : entries_) {
        delete e->item;
        delete e;
    }
}

DockLayout::Entry* DockLayout::find(const QWidget* widget) const {
    for (Entry* e : entries_) {
        if (e->widget() == widget) return e;
    }
    return nullptr;
}

void DockLayout::addControl(QWidget* widget, Align align, const QRect& rect, Anchors anchors) {
    addChildWidget(widget);
    widget->setGeometry(rect);
    auto* e = new Entry;
    e->item = new QWidgetItem(widget);
    e->align = align;
    e->anchors = anchors;
    e->ref = rect;
    QWidget* host = parentWidget();
    e->refHost = designSize_.isValid() ? designSize_ : (host ? host->size() : QSize());
    entries_.append(e);
    invalidate();
}

void DockLayout::setAlign(QWidget* widget, Align align) {
    if (Entry* e = find(widget)) {
        e->align = align;
        e->placed = false;
        invalidate();
    }
}

Align DockLayout::alignOf(const QWidget* widget) const {
    const Entry* e = find(widget);
    return e ? e->align : Align::None;
}

void DockLayout::addItem(QLayoutItem* item) {
    auto* e = new Entry;
    e->item = item;
    e->ref = item->widget() ? item->widget()->geometry() : item->geometry();
    QWidget* host = parentWidget();
    e->refHost = designSize_.isValid() ? designSize_ : (host ? host->size() : QSize());
    entries_.append(e);
}

QLayoutItem* DockLayout::itemAt(int index) const {
    return index >= 0 && index < entries_.size() ? entries_[index]->item : nullptr;
}

QLayoutItem* DockLayout::takeAt(int index) {
    if (index < 0 || index >= entries_.size()) return nullptr;
    Entry* e = entries_.takeAt(index);
    QLayoutItem* item = e->item;
    delete e;
    return item;
}

int DockLayout::count() const {
    return static_cast<int>(entries_.size());
}

QSize DockLayout::sizeHint() const {
    return designSize_.isValid() ? designSize_ : QSize(0, 0);
}

QSize DockLayout::minimumSize() const {
    return QSize(0, 0);
}

Qt::Orientations DockLayout::expandingDirections() const {
    return Qt::Horizontal | Qt::Vertical;
}

void DockLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    int left = rect.left(), top = rect.top();
    int right = left + rect.width(), bottom = top + rect.height();

    auto docked = [&](Align align) {
        std::vector<Entry*> list;
        for (Entry* e : entries_) {
            if (e->align == align && e->widget() && !e->widget()->isHidden()) list.push_back(e);
        }
        return list;
    };
    auto place = [](Entry* e, int x, int y, int w, int h) {
        QWidget* widget = e->widget();
        widget->setGeometry(x, y, std::max(0, clampWidth(widget, w)),
                            std::max(0, clampHeight(widget, h)));
        e->assigned = widget->geometry();
        e->placed = true;
    };

    // Edges fill in this order; along one edge the control nearest to it by its current
    // place goes first, and equal places keep the order of creation.
    auto tops = docked(Align::Top);
    std::stable_sort(tops.begin(), tops.end(),
                     [](Entry* a, Entry* b) { return a->widget()->y() < b->widget()->y(); });
    for (Entry* e : tops) {
        const int h = clampHeight(e->widget(), e->widget()->height());
        place(e, left, top, right - left, h);
        top += h;
    }
    auto bottoms = docked(Align::Bottom);
    std::stable_sort(bottoms.begin(), bottoms.end(), [](Entry* a, Entry* b) {
        return a->widget()->geometry().bottom() > b->widget()->geometry().bottom();
    });
    for (Entry* e : bottoms) {
        const int h = clampHeight(e->widget(), e->widget()->height());
        place(e, left, bottom - h, right - left, h);
        bottom -= h;
    }
    auto lefts = docked(Align::Left);
    std::stable_sort(lefts.begin(), lefts.end(),
                     [](Entry* a, Entry* b) { return a->widget()->x() < b->widget()->x(); });
    for (Entry* e : lefts) {
        const int w = clampWidth(e->widget(), e->widget()->width());
        place(e, left, top, w, bottom - top);
        left += w;
    }
    auto rights = docked(Align::Right);
    std::stable_sort(rights.begin(), rights.end(), [](Entry* a, Entry* b) {
        return a->widget()->geometry().right() > b->widget()->geometry().right();
    });
    for (Entry* e : rights) {
        const int w = clampWidth(e->widget(), e->widget()->width());
        place(e, right - w, top, w, bottom - top);
        right -= w;
    }
    for (Entry* e : docked(Align::Client)) {
        place(e, left, top, std::max(0, right - left), std::max(0, bottom - top));
    }

    for (Entry* e : entries_) {
        if (e->align == Align::None && e->widget()) placeFree(*e, rect);
    }
    lastSize_ = rect.size();
}

void DockLayout::placeFree(Entry& e, const QRect& area) {
    QWidget* w = e.widget();
    const QRect current = w->geometry();
    if (e.placed && current != e.assigned) {
        // Moved or resized by code since the last run: anchors now measure from here.
        e.ref = current;
        e.refHost = lastSize_.isValid() ? lastSize_ : e.refHost;
    } else if (!e.placed && current != e.ref) {
        e.ref = current;
    }
    const int dw = area.width() - e.refHost.width();
    const int dh = area.height() - e.refHost.height();
    int x = e.ref.x(), y = e.ref.y(), width = e.ref.width(), height = e.ref.height();

    const bool l = e.anchors & akLeft, r = e.anchors & akRight;
    if (l && r)
        width += dw;
    else if (r)
        x += dw;
    else if (!l)
        x = keepCentre(e.ref.x(), e.ref.width(), e.refHost.width(), area.width(), width);

    const bool t = e.anchors & akTop, b = e.anchors & akBottom;
    if (t && b)
        height += dh;
    else if (b)
        y += dh;
    else if (!t)
        y = keepCentre(e.ref.y(), e.ref.height(), e.refHost.height(), area.height(), height);

    w->setGeometry(area.x() + x, area.y() + y, std::max(0, clampWidth(w, width)),
                   std::max(0, clampHeight(w, height)));
    e.assigned = w->geometry();
    e.placed = true;
}

}  // namespace hk::toolkit
