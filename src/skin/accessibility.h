#pragma once
// How the skin controls present themselves to assistive technology. The bitmap
// button is a push button whose Press action clicks it; a link label is a link
// named by its caption whose action opens it as a click does; a banner is a
// link whose action is its click; a skinned panel that shows a caption is a
// label that reads it. Names set with setAccessibleName win over captions and
// hints, which is how the window code names its buttons.

#include <QAccessibleWidget>

namespace hk::skin {

// The accessible interface for a skin control, else null. Suits QAccessible::installFactory.
QAccessibleInterface* SkinAccessibleFactory(const QString& className, QObject* object);

// Tells assistive technology that `widget`'s name changed (a caption it reads).
void NotifyNameChanged(QWidget* widget);

// The caption of a label or panel as it is heard: lines joined by blanks, the
// accelerator marks of a label that shows them removed, outer blanks trimmed.
QString SpokenCaption(const QString& caption, bool accelMarks);

}  // namespace hk::skin
