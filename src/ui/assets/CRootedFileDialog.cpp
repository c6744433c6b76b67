// The file dialog that keeps to its root folder.
#include "CRootedFileDialog.h"

#include "FileDialogSettingsKeeper.h"
#include "app/RootedPath.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace mw {
namespace {

QString CleanFolder(const QString& path)
{
    QString clean = QDir::cleanPath(path);
    if (!clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

} // namespace

CRootedFileDialog::CRootedFileDialog(const std::string& root, const QString& title, const QStringList& filters,
                                     QWidget* parent)
    : QFileDialog(parent, title)
{
    // The workspace's folder names are matched without regard to case.
    std::string native = ResolvePath(ToForwardSlashes(root));
    m_root = CleanFolder(QString::fromUtf8(native.empty() ? ToForwardSlashes(root) : native));

    // The widgets below are Qt's own dialog's, which the native one lacks.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    QStringList allFilters = filters;
    allFilters << QStringLiteral("All (*)");
    setNameFilters(allFilters);
    setSidebarUrls({QUrl::fromLocalFile(m_root)});
    m_folderLabel = findChild<QLabel*>(QStringLiteral("lookInLabel"));
    m_upButton = findChild<QToolButton*>(QStringLiteral("toParentButton"));
    m_nameField = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    FileDialogSettingsKeeper::KeepAcross(this);

    QString start = CleanFolder(QDir::currentPath());
    QString ignored;
    setDirectory(RelativeBelow(m_root, start, ignored) ? start : m_root);
    connect(this, &QFileDialog::directoryEntered, this, &CRootedFileDialog::OnDirectoryEntered);
    // Qt enables OK again on every selection change; the root rule is put back after it.
    connect(this, &QFileDialog::currentChanged, this, [this] { QTimer::singleShot(0, this, [this] { UpdateControls(); }); });
    // The same for a name or sub-path typed into the name field.
    if (m_nameField)
        connect(m_nameField, &QLineEdit::textChanged, this,
                [this] { QTimer::singleShot(0, this, [this] { UpdateControls(); }); });
    UpdateControls();
}

bool CRootedFileDialog::RelativeBelow(const QString& root, const QString& path, QString& relative)
{
    QString clean = QDir::cleanPath(path);
    QString rootFolder = CleanFolder(root);
    if (CleanFolder(clean) == rootFolder)
    {
        relative.clear();
        return true;
    }
    if (!clean.startsWith(rootFolder))
        return false;
    relative = clean.mid(rootFolder.size());
    return true;
}

bool CRootedFileDialog::IsAtRoot() const { return CleanFolder(directory().absolutePath()) == m_root; }

QString CRootedFileDialog::FolderLabelText() const
{
    QString relative;
    if (!RelativeBelow(m_root, directory().absolutePath(), relative) || relative.isEmpty())
        return QStringLiteral("Contents of <root>");
    return QStringLiteral("Contents of ") + relative;
}

bool CRootedFileDialog::IsOkEnabled() const
{
    auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
    return ok && ok->isEnabled();
}

bool CRootedFileDialog::IsUpEnabled() const { return m_upButton && m_upButton->isEnabled(); }

void CRootedFileDialog::OnDirectoryEntered(const QString& folder)
{
    QString relative;
    if (!RelativeBelow(m_root, folder, relative))
    {
        // The history, the path field or a link led outside: back to the root.
        setDirectory(m_root);
        return;
    }
    UpdateControls();
}

CRootedFileDialog::Target CRootedFileDialog::TypedTarget(const QString& typed) const
{
    Target target;
    std::string text = typed.trimmed().toStdString();
    if (text.empty())
        return target;
    // Read against the folder shown, then against the root, so that
    // "textures/rock.tga" means the same wherever the dialog stands.
    std::string root = m_root.toStdString();
    const std::string folders[] = {directory().absolutePath().toStdString(), root};
    for (const std::string& folder : folders)
    {
        std::string relative;
        if (!RelativeBelowRoot(root, folder, text, relative))
            continue;
        // Folder names of the workspace are matched without regard to case.
        QFileInfo info(QString::fromStdString(ResolvePath(root + relative)));
        QString found;
        if (!info.exists() || !RelativeBelow(m_root, info.absoluteFilePath(), found) || found.isEmpty())
            continue;
        target.kind = info.isDir() ? Target::Folder : Target::File;
        target.path = info.absoluteFilePath();
        target.relative = found;
        return target;
    }
    return target;
}

bool CRootedFileDialog::IsTypedTextAccepted() const
{
    Target target = TypedTarget(m_nameField ? m_nameField->text() : QString());
    // A file directly in the root is not offered, as OK is off there.
    return target.kind == Target::Folder || (target.kind == Target::File && target.relative.contains(QLatin1Char('/')));
}

void CRootedFileDialog::UpdateControls()
{
    bool atRoot = IsAtRoot();
    if (m_upButton)
        m_upButton->setEnabled(!atRoot);
    bool typed = m_nameField && !m_nameField->text().trimmed().isEmpty();
    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
        if (QPushButton* ok = buttons->button(QDialogButtonBox::Open))
            ok->setEnabled(typed ? IsTypedTextAccepted() : !atRoot && ok->isEnabled());
    if (m_folderLabel)
        m_folderLabel->setText(FolderLabelText());
}

void CRootedFileDialog::accept()
{
    // A typed name or sub-path: resolved under the root, refused outside it.
    if (m_nameField && !m_nameField->text().trimmed().isEmpty())
    {
        if (!IsTypedTextAccepted())
            return;
        Target target = TypedTarget(m_nameField->text());
        if (target.kind == Target::Folder)
        {
            m_nameField->clear();
            setDirectory(target.path);
            emit directoryEntered(target.path);
            return;
        }
        m_relativePath = ToBackslashes(target.relative.toStdString());
        QDialog::accept();
        return;
    }
    QStringList chosen = selectedFiles();
    if (chosen.isEmpty())
        return;
    QFileInfo file(chosen.front());
    if (file.isDir())
    {
        // Entering a folder is what OK means for a folder.
        QString relative;
        if (RelativeBelow(m_root, file.absoluteFilePath(), relative))
            setDirectory(file.absoluteFilePath());
        return;
    }
    QString relative;
    if (IsAtRoot() || !RelativeBelow(m_root, file.absoluteFilePath(), relative) || relative.isEmpty())
        return;
    m_relativePath = ToBackslashes(relative.toStdString());
    QFileDialog::accept();
}

} // namespace mw
