// Opening files for the user.
#include "DocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace mw {

bool OpenDocument(const std::string& fullPath)
{
    // Records and templates go to the Database Editor once it is part of the build.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(fullPath)));
}

} // namespace mw
