// The folder chooser.
#include "CFolderDialog.h"

#include "ui/assets/FileDialogSettingsKeeper.h"
#include "context/IUserPrompt.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QDir>
#include <QLineEdit>
#include <QUrl>

namespace mw {
namespace {

QString NativeFolder(const std::string& path)
{
    if (path.empty())
        return QString();
    std::string forward = ToForwardSlashes(path);
    std::string resolved = ResolvePath(forward);
    return QDir::cleanPath(QString::fromStdString(resolved.empty() ? forward : resolved));
}

} // namespace

CFolderDialog::CFolderDialog(const QString& title, const std::string& initialFolder, const std::string& root,
                             IUserPrompt& prompt, QWidget* parent)
    : QFileDialog(parent, title), m_prompt(prompt), m_root(NativeFolder(root))
{
    // Qt's own dialog, so that the typed path reaches accept().
    setOption(QFileDialog::DontUseNativeDialog, true);
    FileDialogSettingsKeeper::KeepAcross(this);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly, true);
    QString initial = NativeFolder(initialFolder);
    if (!m_root.isEmpty())
    {
        setSidebarUrls({QUrl::fromLocalFile(m_root)});
        if (initial.isEmpty() || !IsBelowRoot(initial))
            initial = m_root;
    }
    if (!initial.isEmpty())
    {
        // The initial folder is shown selected in its parent.
        QFileInfo info(initial);
        if (info.isDir() && !info.dir().isRoot() && (m_root.isEmpty() || initial != m_root))
        {
            setDirectory(info.dir().absolutePath());
            selectFile(info.fileName());
        }
        else
            setDirectory(initial);
    }
    if (!m_root.isEmpty())
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (!IsBelowRoot(folder))
                setDirectory(m_root);
        });
}

bool CFolderDialog::IsBelowRoot(const QString& path) const
{
    if (m_root.isEmpty())
        return true;
    QString clean = QDir::cleanPath(path);
    return clean == m_root || clean.startsWith(m_root + QLatin1Char('/'));
}

void CFolderDialog::accept()
{
    auto* field = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QString typed = field ? field->text().trimmed() : QString();
    QString path;
    if (typed.isEmpty())
        path = directory().absolutePath();
    else if (QDir::isAbsolutePath(typed))
        path = QDir::cleanPath(typed);
    else
        path = QDir::cleanPath(directory().absoluteFilePath(typed));
    if (!IsBelowRoot(path))
    {
        setDirectory(m_root);
        return;
    }
    if (!QFileInfo(path).isDir())
    {
        if (m_prompt.Show("The path entered is not valid! Continue ?", "", PromptButtons::YesNo,
                          PromptIcon::Question) != PromptAnswer::Yes)
            return;
    }
    m_chosen = path.toStdString();
    QDialog::accept();
}

bool CFolderDialog::Choose(QWidget* parent, IUserPrompt& prompt, const QString& title, const std::string& initialFolder,
                           std::string& chosen, const std::string& root)
{
    CFolderDialog dialog(title, initialFolder, root, prompt, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    chosen = dialog.ChosenPath();
    return true;
}

bool BrowseTemplateFolder(QWidget* parent, IUserPrompt& prompt, const std::string& current, std::string& chosen)
{
    return CFolderDialog::Choose(parent, prompt, QStringLiteral("Select the Template File directory:"), current,
                                 chosen);
}

} // namespace mw
