#pragma once

#include <QPoint>
#include <Qt>

class QWidget;

namespace hk::window {

// Moves a borderless top-level window as dragging a system caption would:
// once a mouse button pressed on the title bar has carried the pointer past
// the drag distance, the window follows the pointer by the distance the
// pointer has travelled since the press, until that same button is released.
// A press and release within the drag distance move nothing, so the toolkit
// still sees the press, release, press of a double click.
//
// The window is moved with ordinary move requests, which the window manager
// may adjust as it allows. The window manager's own interactive move is not
// used where a program can place its windows: X11 window managers run it for
// the first button only, and a move started for another button never sees
// its release. Where a program cannot place its windows (Wayland), the
// platform's move is started instead once the drag distance is passed.
class TitleBarDrag {
  public:
    explicit TitleBarDrag(QWidget& window) : window_(window) {}

    // Positions are the pointer's, in screen coordinates.
    void Press(Qt::MouseButton button, QPoint globalPos);
    void Move(QPoint globalPos, Qt::MouseButtons held);
    void Release(Qt::MouseButton button);

    // A button pressed on the title bar is still held.
    bool Active() const { return button_ != Qt::NoButton; }

  private:
    bool WindowMovable() const;
    void End();

    QWidget& window_;
    Qt::MouseButton button_ = Qt::NoButton;
    QPoint pressedAt_;
    QPoint windowAt_;
    bool following_ = false;
};

}  // namespace hk::window
