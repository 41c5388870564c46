#pragma once
// Hands Qt's accessibility the interfaces of this program's controls: the
// skin controls, the read-only text views, the main window (a frame, not
// Qt's filler for a plain widget) and pictures that show words.

class QString;

namespace hk::window {

// Installs the factories once per process; later calls do nothing. Qt keeps
// its factories process-wide, and interfaces it has made stay cached, so this
// runs before the first window is built.
void InstallAccessibility();

}  // namespace hk::window
