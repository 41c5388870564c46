#pragma once
// What assistive technology gets from a read-only text view (QPlainTextEdit or
// QTextEdit with read-only set): its text to read, its caret to move, and
// nothing to take. Qt's own interface for these views also offers editing, and
// through it the AT-SPI bridge copies to the clipboard, cuts, inserts and
// replaces text whatever the view allows the user. This one offers the text
// interface alone, and leaves the view's selection to the user's mouse and keys.

#include <QAccessibleWidget>

class QAbstractScrollArea;

namespace hk::toolkit {

// The accessible interface for `object` when it is a read-only text view, else null.
// Suits QAccessible::installFactory. Qt keeps the first interface it makes for a
// view, so a view is made read-only before it is given text or shown.
QAccessibleInterface* ReadOnlyTextAccessibleFactory(const QString& className, QObject* object);

}  // namespace hk::toolkit
