#include "window/title_bar_drag.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

namespace hk::window {

namespace {

bool ProgramPlacesWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

bool TitleBarDrag::WindowMovable() const {
    // A maximised window stays where the system put it, as with a caption.
    return !(window_.windowState() &
             (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

void TitleBarDrag::Press(Qt::MouseButton button, QPoint globalPos) {
    // The first button held owns the drag. A press of that same button starts
    // afresh: the second press of a double click may be reported twice, and a
    // release lost to another window's grab must not leave a stale start.
    if (button == Qt::NoButton || (Active() && button != button_) || !WindowMovable()) return;
    button_ = button;
    pressedAt_ = globalPos;
    windowAt_ = window_.pos();
    following_ = false;
}

void TitleBarDrag::Move(QPoint globalPos, Qt::MouseButtons held) {
    if (!Active()) return;
    // A release that went elsewhere (a grab taken by another window) still
    // ends the drag: the window never follows a pointer with no button down.
    if (!(held & button_) || !WindowMovable()) {
        End();
        return;
    }
    const QPoint travelled = globalPos - pressedAt_;
    if (!following_ && travelled.manhattanLength() < QApplication::startDragDistance()) return;
    if (!ProgramPlacesWindows()) {
        End();
        if (QWindow* w = window_.windowHandle()) w->startSystemMove();
        return;
    }
    following_ = true;
    window_.move(windowAt_ + travelled);
}

void TitleBarDrag::Release(Qt::MouseButton button) {
    if (button == button_) End();
}

void TitleBarDrag::End() {
    button_ = Qt::NoButton;
    following_ = false;
}

}  // namespace hk::window
