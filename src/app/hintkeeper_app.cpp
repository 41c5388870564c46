#include "app/hintkeeper_app.h"

#include <QApplication>
#include <memory>

#include "ads/ad_rotation.h"
#include "window/TFormAbout.h"
#include "window/TFormMain.h"

namespace hk::app {

int RunHintkeeper(QApplication& app) {
    // The splash is a window of its own; its closing must not end the program
    // before the main window has even been shown.
    app.setQuitOnLastWindowClosed(false);

    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith('/')) folder += '/';

    hk::window::TFormMain FormMain(folder.toStdString());
    hk::window::TFormAbout FormAbout(FormMain);
    FormMain.setAbout(&FormAbout);
    FormMain.setAdPanel(std::make_unique<hk::ads::AdRotation>(FormMain));
    FormMain.OnClosed = [] { QCoreApplication::exit(0); };

    FormMain.StartSplash();
    return app.exec();
}

}  // namespace hk::app
