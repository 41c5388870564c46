#pragma once

class QApplication;

namespace hk::app {

// Creates the two windows, hands over from the splash and runs the message
// loop until the program ends. Returns the process's exit status: 0 after the
// window was closed, 1 after a database failure.
int RunHintkeeper(QApplication& app);

}  // namespace hk::app
