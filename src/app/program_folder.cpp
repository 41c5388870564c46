#include "app/program_folder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace hk::app {

std::string ProgramFolder() {
    // The kernel's link names the executable itself, links resolved. After
    // the file was replaced (a package upgrade while the viewer runs) the
    // name gains " (deleted)", but its folder is still the right one.
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::string folder;
    if (!ec && exe.is_absolute()) {
        folder = exe.parent_path().string();
    } else {
        // Without /proc, Qt's guess from the command line, links resolved.
        folder = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath().toStdString();
    }
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace hk::app
