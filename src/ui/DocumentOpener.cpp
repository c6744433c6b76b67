// Opening files in the desktop's default application.
#include "DocumentOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace mw {

bool OpenDocument(const std::string& fullPath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(fullPath)));
}

} // namespace mw
