#include "window/accessibility.h"

#include <QAccessibleWidget>

#include "skin/accessibility.h"
#include "toolkit/read_only_text_accessible.h"
#include "window/TFormMain.h"
#include "window/plain_controls.h"

namespace hk::window {

namespace {

// A picture with a name is heard as a graphic that says it; one without is
// decoration.
class PictureAccessible final : public QAccessibleWidget {
  public:
    explicit PictureAccessible(TImage* image) : QAccessibleWidget(image) {}
    QAccessible::Role role() const override {
        return widget()->accessibleName().isEmpty() ? QAccessible::Client : QAccessible::Graphic;
    }
};

QAccessibleInterface* WindowAccessibleFactory(const QString&, QObject* object) {
    // The main window draws its own frame; to a screen reader it is the frame.
    if (auto* main = qobject_cast<TFormMain*>(object))
        return new QAccessibleWidget(main, QAccessible::Window);
    if (auto* image = qobject_cast<TImage*>(object)) return new PictureAccessible(image);
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(hk::toolkit::ReadOnlyTextAccessibleFactory);
        QAccessible::installFactory(hk::skin::SkinAccessibleFactory);
        QAccessible::installFactory(WindowAccessibleFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace hk::window
