// The install dialog.
#include "CInstallDialog.h"

#include "context/IUserPrompt.h"
#include "platform/PathRules.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

CInstallDialog::CInstallDialog(std::string archivePath, std::string destination, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_archivePath(std::move(archivePath)), m_destination(std::move(destination)),
      m_prompt(prompt), m_currentFile(new QLabel), m_progress(new QProgressBar),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("Installing"));
    auto* layout = new QVBoxLayout(this);
    auto* target = new QLabel(QStringLiteral("Installing into %1").arg(QString::fromStdString(m_destination)));
    target->setWordWrap(true);
    layout->addWidget(target);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    layout->addWidget(m_progress);
    m_currentFile->setMinimumWidth(420);
    m_currentFile->setTextFormat(Qt::PlainText);
    layout->addWidget(m_currentFile);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_cancelButton);
    layout->addLayout(row);
    connect(m_cancelButton, &QPushButton::clicked, this, &CInstallDialog::RequestCancel);
}

CInstallDialog::~CInstallDialog()
{
    m_cancel.Set();
    if (m_thread.joinable())
        m_thread.join();
}

int CInstallDialog::exec()
{
    if (!m_installer.Open(m_archivePath))
    {
        m_prompt.Show(Format("Couldn't open file '%s'", m_archivePath.c_str()), "", PromptButtons::Ok,
                      PromptIcon::Error);
        return QDialog::Rejected;
    }
    m_opened = true;
    m_cancel.Reset();
    m_running = true;
    // The thread reaches the widgets only through queued calls on this dialog.
    m_thread = std::thread([this] {
        int entries = 0;
        m_result = m_installer.Extract(m_destination, m_cancel, [this, &entries](const std::string& name,
                                                                                 uint64_t done, uint64_t total) {
            QString shown = name.empty() ? QString() : QStringLiteral("Extracting ") + QString::fromStdString(name);
            int percent = ArchiveInstaller::Percent(done, total);
            QMetaObject::invokeMethod(this, [this, shown, percent] { OnProgress(shown, percent); },
                                      Qt::QueuedConnection);
            if (m_entryHook && name.empty())
                m_entryHook(++entries);
        });
        QMetaObject::invokeMethod(this, [this] { OnFinished(); }, Qt::QueuedConnection);
    });
    int result = QDialog::exec();
    m_installer.Close();
    return result;
}

void CInstallDialog::RequestCancel()
{
    m_cancel.Set();
    m_cancelButton->setEnabled(false);
    m_currentFile->setText(QStringLiteral("Cancelling..."));
}

void CInstallDialog::reject()
{
    // Closing the window while files are written stops the thread first.
    if (m_running)
    {
        RequestCancel();
        return;
    }
    QDialog::reject();
}

void CInstallDialog::OnProgress(const QString& name, int percent)
{
    if (!name.isEmpty() && !m_cancel.IsSet())
        m_currentFile->setText(name);
    m_progress->setValue(percent);
}

void CInstallDialog::OnFinished()
{
    if (m_thread.joinable())
        m_thread.join();
    m_running = false;
    if (m_result == ArchiveInstaller::Result::Failed)
    {
        std::string text = "Some files could not be installed:";
        const std::vector<std::string>& failures = m_installer.Failures();
        for (size_t i = 0; i < failures.size() && i < 10; ++i)
            text += "\n" + failures[i];
        if (failures.size() > 10)
            text += Format("\n... and %zu more", failures.size() - 10);
        m_prompt.Show(text, "", PromptButtons::Ok, PromptIcon::Error);
    }
    if (m_result == ArchiveInstaller::Result::Completed)
        QDialog::accept();
    else
        QDialog::reject();
}

} // namespace mw
