#include "app/hintkeeper_app.h"

#include <QApplication>
#include <memory>

#include "ads/ad_rotation.h"
#include "app/program_folder.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"
#include "window/accessibility.h"

namespace hk::app {

int RunHintkeeper(QApplication& app) {
    // The splash is a window of its own; its closing must not end the program
    // before the main window has even been shown.
    app.setQuitOnLastWindowClosed(false);

    hk::window::InstallAccessibility();  // before the first window: Qt keeps what it made
    hk::window::TFormMain FormMain(ProgramFolder());
    hk::window::TFormAbout FormAbout(FormMain);
    FormMain.setAbout(&FormAbout);
    // Message boxes, the splash and the print dialogs carry the icon too.
    app.setWindowIcon(FormMain.windowIcon());
    FormMain.setAdPanel(std::make_unique<hk::ads::AdRotation>(FormMain));
    FormMain.OnClosed = [] { QCoreApplication::exit(0); };

    FormMain.StartSplash();
    return app.exec();
}

}  // namespace hk::app
