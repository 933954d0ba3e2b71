#pragma once
// Files and folders are shown by the desktop's own programs (a browser, a file manager),
// reached through xdg-open or the desktop's equivalent.

#include <QDesktopServices>
#include <QUrl>
#include <string>

#include "app/ui/qt_text.h"

namespace pl3 {

// False when no program could be started to show the path.
inline bool openWithDesktop(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(qs(path)));
}

}  // namespace pl3
