#include "toolkit/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace hk::toolkit {

bool shellOpen(const QString& target) {
    const QUrl url = QUrl::fromUserInput(target);
    if (!url.isValid() || url.isEmpty()) return false;
    return QDesktopServices::openUrl(url);
}

}  // namespace hk::toolkit
