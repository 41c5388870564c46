#pragma once
// Event handler types shared by the skin controls. Handlers are plain callables set by
// the window that owns the control; an empty handler is simply not called.

#include <QObject>
#include <Qt>
#include <functional>

namespace hk::skin {

using TNotifyEvent = std::function<void(QObject* sender)>;
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;
using TMouseMoveEvent =
    std::function<void(QObject* sender, Qt::KeyboardModifiers shift, int x, int y)>;
// The handler may change `key` (setting it to 0 swallows it), as the layouts' key
// handlers expect.
using TKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;

}  // namespace hk::skin
