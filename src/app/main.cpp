#include <QApplication>

#include "app/hintkeeper_app.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    return hk::app::RunHintkeeper(app);
}
