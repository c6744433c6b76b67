// The options dialog.
#include "COptionsDialog.h"

#include "CFolderDialog.h"
#include "app/CModwrightApp.h"
#include "platform/NativePaths.h"
#include "context/IUserPrompt.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace mw {
namespace {

QString ToQt(const std::string& text) { return QString::fromUtf8(text); }

// A folder field is wide enough for its whole path (up to most of the screen)
// and shows it from its start, with the path as its tool tip as well.
void ShowWholePath(QLineEdit* field, const std::string& path)
{
    QString text = ToQt(path);
    field->setText(text);
    field->setToolTip(text);
    field->setCursorPosition(0);
    int wanted = field->fontMetrics().horizontalAdvance(text) + 24;
    int limit = 1200;
    if (QScreen* screen = field->screen())
        limit = screen->availableGeometry().width() * 3 / 4;
    field->setMinimumWidth(std::min(std::max(wanted, 360), limit));
}

} // namespace

COptionsDialog::COptionsDialog(const CModwrightApp& app, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_network(app.IsNetwork()), m_prompt(prompt)
{
    setWindowTitle(QStringLiteral("Options"));
    OptionSettings settings = ReadOptionSettings(app);
    auto* form = new QFormLayout(this);
    m_workingFolder =
        AddFolderRow(form, QStringLiteral("Working folder:"), QStringLiteral("Set Working Directory"),
                     settings.workingFolder);
    m_buildFolder = AddFolderRow(form, QStringLiteral("Build folder:"), QStringLiteral("Set Build Directory"),
                                 settings.buildFolder);
    m_toolsFolder = AddFolderRow(form, QStringLiteral("Tools folder:"), QStringLiteral("Set Tools Directory"),
                                 settings.toolsFolder);
    m_additionalFolders = new QLineEdit(ToQt(settings.additionalBuildFolders));
    m_additionalFolders->setPlaceholderText(QStringLiteral("folders separated by ;"));
    form->addRow(QStringLiteral("Additional build folders:"), m_additionalFolders);
    m_exportStatistics = new QCheckBox(QStringLiteral("Export build statistics"));
    m_exportStatistics->setChecked(settings.exportStatistics);
    form->addRow(QString(), m_exportStatistics);
    m_buildJobs = new QSpinBox;
    m_buildJobs->setRange(0, 256);
    m_buildJobs->setSpecialValueText(QStringLiteral("one per core"));
    m_buildJobs->setValue(settings.buildJobs);
    form->addRow(QStringLiteral("Compilers at once:"), m_buildJobs);
    AddCacheRows(form, settings.cache);
    if (m_network)
    {
        m_maxServer = new QLineEdit(ToQt(settings.maxServer));
        form->addRow(QStringLiteral("MAX server:"), m_maxServer);
        m_splashEnable = new QCheckBox(QStringLiteral("Enable splash screens"));
        m_splashEnable->setChecked(settings.splashEnable);
        form->addRow(QString(), m_splashEnable);
        m_splashMute = new QCheckBox(QStringLiteral("Mute the splash screen"));
        m_splashMute->setChecked(settings.splashMute);
        form->addRow(QString(), m_splashMute);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (m_workingFolder->text().trimmed().isEmpty())
        {
            m_prompt.Show("Working Directory cannot be empty.  Please choose a valid directory", "Modwright",
                          PromptButtons::Ok, PromptIcon::None);
            return;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(560);
}

QLineEdit* COptionsDialog::AddFolderRow(QFormLayout* form, const QString& label, const QString& browseTitle,
                                        const std::string& value)
{
    auto* row = new QHBoxLayout;
    auto* field = new QLineEdit;
    auto* browse = new QPushButton(QStringLiteral("Browse..."));
    browse->setToolTip(browseTitle);
    ShowWholePath(field, value);
    row->addWidget(field, 1);
    row->addWidget(browse);
    form->addRow(label, row);
    connect(browse, &QPushButton::clicked, this, [this, field, browseTitle] {
        std::string chosen;
        if (CFolderDialog::Choose(this, m_prompt, browseTitle, field->text().toStdString(), chosen))
            ShowWholePath(field, NativeFolder(chosen));
    });
    return field;
}

void COptionsDialog::AddCacheRows(QFormLayout* form, const CacheOptions& cache)
{
    m_cacheLocal = new QLineEdit(ToQt(cache.local));
    std::string defaultFolder = DefaultLocalCacheFolder();
    m_cacheLocal->setPlaceholderText(QStringLiteral("empty: %1; off: no cache").arg(ToQt(defaultFolder)));
    form->addRow(QStringLiteral("Build cache folder:"), m_cacheLocal);
    m_cacheSize = new QSpinBox;
    m_cacheSize->setRange(0, 1 << 20);
    m_cacheSize->setSuffix(QStringLiteral(" MiB"));
    m_cacheSize->setSpecialValueText(QStringLiteral("no limit"));
    m_cacheSize->setValue(cache.localSizeMiB);
    form->addRow(QStringLiteral("Build cache size:"), m_cacheSize);
    m_cacheShared = new QLineEdit(ToQt(cache.shared));
    m_cacheShared->setPlaceholderText(QStringLiteral("a folder or http://host:port/path; empty: none"));
    form->addRow(QStringLiteral("Shared build cache:"), m_cacheShared);
    m_cacheReadOnly = new QCheckBox(QStringLiteral("Only download from the shared build cache"));
    m_cacheReadOnly->setChecked(cache.readOnly);
    form->addRow(QString(), m_cacheReadOnly);
}

OptionSettings COptionsDialog::Settings() const
{
    OptionSettings settings;
    settings.workingFolder = m_workingFolder->text().trimmed().toStdString();
    settings.buildFolder = m_buildFolder->text().trimmed().toStdString();
    settings.toolsFolder = m_toolsFolder->text().trimmed().toStdString();
    settings.additionalBuildFolders = m_additionalFolders->text().trimmed().toStdString();
    settings.exportStatistics = m_exportStatistics->isChecked();
    settings.buildJobs = m_buildJobs->value();
    settings.cache.local = m_cacheLocal->text().trimmed().toStdString();
    settings.cache.localSizeMiB = m_cacheSize->value();
    settings.cache.shared = m_cacheShared->text().trimmed().toStdString();
    settings.cache.readOnly = m_cacheReadOnly->isChecked();
    if (m_network)
    {
        settings.maxServer = m_maxServer->text().trimmed().toStdString();
        settings.splashEnable = m_splashEnable->isChecked();
        settings.splashMute = m_splashMute->isChecked();
    }
    return settings;
}

} // namespace mw
