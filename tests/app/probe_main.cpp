// The viewer with a watcher that stands in for the user at message boxes: it
// prints what the box shows and presses its button, so a test can run the
// program as a subprocess and read how it ended. With an argument "close",
// it also closes the main window once that window has been shown a while and
// prints the list header and the game count first.
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/hintkeeper_app.h"
#include "skin/TCoolPanel.h"
#include "window/TFormMain.h"

namespace {

void Print(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool closeWhenShown = argc > 1 && QString(argv[argc - 1]) == "close";
    QTimer watcher;
    int shownTicks = 0;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                QStringList buttons;
                for (auto* b : box->buttons()) buttons << b->text().remove('&');
                Print("caption: " + box->windowTitle());
                Print("icon: " + QString::number(static_cast<int>(box->icon())));
                Print("buttons: " + buttons.join(','));
                Print("text: " + box->text());
                for (QWidget* other : QApplication::topLevelWidgets())
                    if (auto* main = qobject_cast<hk::window::TFormMain*>(other))
                        Print(QString("main visible: %1").arg(main->isVisible()));
                box->button(QMessageBox::Ok)->click();
                return;
            }
            auto* main = qobject_cast<hk::window::TFormMain*>(w);
            if (closeWhenShown && main && main->isVisible() && main->ActivationCount() > 0 &&
                ++shownTicks > 5) {
                Print("header: " + main->CoolPanel2->Caption());
                Print("games: " + QString::number(main->CLB_Games->count()));
                Print("title: " + main->windowTitle());
                main->close();
                return;
            }
        }
    });
    watcher.start(50);
    return hk::app::RunHintkeeper(app);
}
