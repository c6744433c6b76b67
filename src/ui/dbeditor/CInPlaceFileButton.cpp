// The file button.
#include "CInPlaceFileButton.h"

#include "dbtext/DbTemplate.h"
#include "dbtext/FileValuePaths.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QStringList>
#include <QToolButton>

namespace mw {
namespace {

// The folder of the last chosen file, offered by the next browse of any
// button in this run.
QString& LastBrowseFolder()
{
    static QString folder;
    return folder;
}

CInPlaceFileButton::ArchiveBrowser& TheArchiveBrowser()
{
    static CInPlaceFileButton::ArchiveBrowser browser;
    return browser;
}

CInPlaceFileButton::FolderBrowser& TheTemplateFolderBrowser()
{
    static CInPlaceFileButton::FolderBrowser browser;
    return browser;
}

const char kOutsideWorkingFolder[] = "Templates must lie below the working folder to be named with %TEMPLATE_DIR%.";

} // namespace

CInPlaceFileButton::CInPlaceFileButton(const std::string& extensions, PathForm form, std::string workingDir,
                                       std::string modName, QWidget* parent)
    : QWidget(parent), m_extensions(extensions), m_form(form), m_workingDir(std::move(workingDir)),
      m_modName(std::move(modName)), m_field(new QLineEdit(this)), m_button(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_field, 1);
    m_button->setText("...");
    m_button->setToolTip("Browse for a file");
    layout->addWidget(m_button);
    setFocusProxy(m_field);
    connect(m_button, &QToolButton::clicked, this, [this] {
        if (m_form == PathForm::Relative && m_button->menu())
            BrowseArchives();
        else
            Browse();
    });
    UpdateMenu();
}

void CInPlaceFileButton::SetArchiveBrowser(ArchiveBrowser browser)
{
    TheArchiveBrowser() = std::move(browser);
}

void CInPlaceFileButton::SetTemplateFolderBrowser(FolderBrowser browser)
{
    TheTemplateFolderBrowser() = std::move(browser);
}

void CInPlaceFileButton::SetKind(const std::string& extensions, PathForm form)
{
    m_extensions = extensions;
    m_form = form;
    UpdateMenu();
}

void CInPlaceFileButton::UpdateMenu()
{
    bool archives = m_form == PathForm::Relative && TheArchiveBrowser();
    bool folders = m_form == PathForm::TemplateDir && TheTemplateFolderBrowser();
    delete m_button->menu();
    if (!archives && !folders)
    {
        m_button->setPopupMode(QToolButton::DelayedPopup);
        m_button->setToolTip("Browse for a file");
        return;
    }
    auto* menu = new QMenu(m_button);
    if (archives)
    {
        menu->addAction("From the Built Archives...", this, [this] { BrowseArchives(); });
        menu->addAction("From the Files on Disk...", this, [this] { Browse(); });
        m_button->setToolTip("Choose from the built archives (the arrow offers the files on disk)");
    }
    else
    {
        menu->addAction("Template File...", this, [this] { Browse(); });
        menu->addAction("Template Folder...", this, [this] { BrowseTemplateFolder(); });
        m_button->setToolTip("Browse for a template (the arrow also offers a folder of templates)");
    }
    m_button->setMenu(menu);
    m_button->setPopupMode(QToolButton::MenuButtonPopup);
}

void CInPlaceFileButton::BrowseTemplateFolder()
{
    if (!TheTemplateFolderBrowser())
        return;
    // Opens at the folder the field names, else at the working folder's templates.
    std::string current;
    std::string typed = m_field->text().trimmed().toStdString();
    if (!typed.empty())
        current = ToForwardSlashes(ParentPath(ResolveTemplatePath(typed, m_workingDir)));
    if (current.empty() || !IsFolder(current))
        current = ToForwardSlashes(m_workingDir + "Database/Templates");
    std::string chosen = TheTemplateFolderBrowser()(this, current);
    if (chosen.empty())
        return;
    std::string value;
    if (!TemplateDirValue(WithTrailingSeparator(chosen), m_workingDir, value))
    {
        QMessageBox::warning(this, "Database Editor", kOutsideWorkingFolder);
        return;
    }
    LastBrowseFolder() = QString::fromStdString(ToForwardSlashes(chosen));
    m_field->setText(QString::fromStdString(value));
    m_field->setFocus();
}

QString CInPlaceFileButton::Text() const
{
    return m_field->text();
}

void CInPlaceFileButton::SetText(const QString& text)
{
    m_field->setText(text);
}

QString CInPlaceFileButton::Filter() const
{
    if (m_extensions.empty())
        return "All Files (*)";
    QStringList patterns;
    for (const std::string& extension : SplitText(m_extensions, ','))
        patterns << QString::fromStdString("*." + extension);
    return QString("Files (%1);;All Files (*)").arg(patterns.join(' '));
}

void CInPlaceFileButton::Browse()
{
    QString start = LastBrowseFolder();
    if (start.isEmpty())
    {
        std::string root = m_workingDir;
        if (m_form == PathForm::Relative && !m_modName.empty())
            root += "CustomMaps/" + m_modName + "/";
        start = QString::fromStdString(ToForwardSlashes(root));
    }
    QString chosen = m_chooser ? m_chooser(Filter(), start)
                               : QFileDialog::getOpenFileName(this, "Choose File", start, Filter());
    if (chosen.isEmpty())
        return;
    std::string path = chosen.toStdString();
    LastBrowseFolder() = QString::fromStdString(ToForwardSlashes(ParentPath(path)));
    std::string value;
    if (m_form == PathForm::TemplateDir)
    {
        if (!TemplateDirValue(path, m_workingDir, value))
        {
            QMessageBox::warning(this, "Database Editor", kOutsideWorkingFolder);
            return;
        }
    }
    else
        value = RelativeFileValue(path, m_workingDir, m_modName);
    m_field->setText(QString::fromStdString(value));
    m_field->setFocus();
}

void CInPlaceFileButton::BrowseArchives()
{
    if (!TheArchiveBrowser())
        return Browse();
    std::string name = TheArchiveBrowser()(this, m_extensions, m_modName);
    if (name.empty())
        return;
    m_field->setText(QString::fromStdString(ArchiveEntryValue(name)));
    m_field->setFocus();
}

} // namespace mw
