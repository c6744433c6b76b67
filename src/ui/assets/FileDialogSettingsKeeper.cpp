// Puts the shared file-dialog settings back after one of our dialogs closed.
#include "FileDialogSettingsKeeper.h"

#include <QFile>
#include <QFileDialog>
#include <QMap>
#include <QSettings>
#include <QVariant>

namespace mw {
namespace {

const char kOrganisation[] = "QtProject";
const char kGroup[] = "FileDialog";

struct SharedSettings
{
    bool fileExisted = false;
    QMap<QString, QVariant> values;
};

SharedSettings ReadShared()
{
    QSettings settings(QSettings::UserScope, QString::fromLatin1(kOrganisation));
    SharedSettings shared;
    shared.fileExisted = QFile::exists(settings.fileName());
    settings.beginGroup(QString::fromLatin1(kGroup));
    for (const QString& key : settings.childKeys())
        shared.values.insert(key, settings.value(key));
    return shared;
}

void RestoreShared(const SharedSettings& shared)
{
    QString fileName;
    bool empty = false;
    {
        QSettings settings(QSettings::UserScope, QString::fromLatin1(kOrganisation));
        fileName = settings.fileName();
        settings.beginGroup(QString::fromLatin1(kGroup));
        for (const QString& key : settings.childKeys())
        {
            if (!shared.values.contains(key))
                settings.remove(key);
        }
        for (auto it = shared.values.begin(); it != shared.values.end(); ++it)
        {
            if (settings.value(it.key()) != it.value())
                settings.setValue(it.key(), it.value());
        }
        settings.endGroup();
        empty = settings.allKeys().isEmpty();
    }
    // A settings file that only the dialog made goes again.
    if (!shared.fileExisted && empty)
        QFile::remove(fileName);
}

} // namespace

void FileDialogSettingsKeeper::KeepAcross(QFileDialog* dialog)
{
    SharedSettings shared = ReadShared();
    QObject::connect(dialog, &QObject::destroyed, [shared] { RestoreShared(shared); });
}

} // namespace mw
