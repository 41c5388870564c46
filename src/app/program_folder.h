#pragma once

#include <string>

namespace hk::app {

// The folder the running executable really lies in, with its trailing '/'.
// Symbolic links are followed to the file itself: /usr/bin/hintkeeper is a
// link into /usr/lib/hintkeeper/, where the database lies beside the program,
// and a copy of that folder works wherever it is unpacked or linked from.
std::string ProgramFolder();

}  // namespace hk::app
