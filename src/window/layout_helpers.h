#pragma once

// Small builders that keep each control of a layout on one line: create,
// name, dock into the parent, and give the common look.
#include <QFont>
#include <QWidget>

#include "skin/TCoolBitmapButton.h"
#include "skin/TCoolPanel.h"
#include "skin/TRxGIFAnimator.h"
#include "toolkit/colors.h"
#include "toolkit/dock_layout.h"

namespace hk::window {

// The two colours of the skin besides the system ones.
inline constexpr toolkit::TColor kPaleGrey = 0x02EAE0E0;  // red 224, green 224, blue 234
inline constexpr toolkit::TColor kDarkNavy = 0x00660000;  // red 0, green 0, blue 102

// The parent's docking layout, made on first use for the size it has then
// (its own laid-out size, since it was placed before its children).
inline toolkit::DockLayout* Dock(QWidget* parent) {
    if (auto* dock = dynamic_cast<toolkit::DockLayout*>(parent->layout())) return dock;
    return new toolkit::DockLayout(parent);
}

template <class T>
T* Place(T* control, QWidget* parent, const QString& name, toolkit::Align align, const QRect& rect,
         toolkit::Anchors anchors = toolkit::akLeft | toolkit::akTop) {
    control->setObjectName(name);
    control->resize(rect.size());
    Dock(parent)->addControl(control, align, rect, anchors);
    return control;
}

// A skinned panel without bevel: wallpaper `skin` of `images` (none when
// images is null), background colour, caption font and colour.
inline skin::TCoolPanel* Skinned(QWidget* parent, const QString& name, toolkit::Align align,
                                 const QRect& rect, skin::TCoolImages* images, int skin,
                                 toolkit::TColor color = toolkit::clBtnShadow,
                                 const QFont& font = {},
                                 toolkit::TColor fontColor = toolkit::clWindowText,
                                 toolkit::Anchors anchors = toolkit::akLeft | toolkit::akTop) {
    auto* p = Place(new skin::TCoolPanel(parent), parent, name, align, rect, anchors);
    p->setBevelOuter(skin::TBevelCut::bvNone);
    p->setBevelInner(skin::TBevelCut::bvNone);
    p->setColor(color);
    if (images) {
        p->setCoolImages(images);
        p->setIdWallpaper(skin);
    }
    if (font != QFont()) p->setFont(font);
    p->setFontColor(fontColor);
    return p;
}

inline skin::TCoolBitmapButton* Button(QWidget* parent, const QString& name, const QRect& rect,
                                       Qt::CursorShape cursor,
                                       toolkit::Anchors anchors = toolkit::akLeft |
                                                                  toolkit::akTop) {
    auto* b = Place(new skin::TCoolBitmapButton(parent), parent, name, toolkit::Align::None, rect,
                    anchors);
    b->setCursor(cursor);
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

// A banner animation: opaque, hand cursor, at its design place.
inline skin::TRxGIFAnimator* Banner(QWidget* parent, const QString& name, const QRect& rect) {
    auto* g = Place(new skin::TRxGIFAnimator(parent), parent, name, toolkit::Align::None, rect);
    g->setTransparent(false);
    g->setAutoSize(false);
    g->setCursor(Qt::PointingHandCursor);
    return g;
}

// Background and text colours of a plain Qt control.
inline void SetColors(QWidget* w, toolkit::TColor background, toolkit::TColor text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, toolkit::toQColor(background, p));
    p.setColor(QPalette::Window, toolkit::toQColor(background, p));
    p.setColor(QPalette::Text, toolkit::toQColor(text, p));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

}  // namespace hk::window
