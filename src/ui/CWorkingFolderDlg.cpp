// The working folder prompt.
#include "CWorkingFolderDlg.h"

#include "CFolderDialog.h"
#include "context/IUserPrompt.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace mw {

CWorkingFolderDlg::CWorkingFolderDlg(const std::string& folder, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_prompt(prompt), m_folder(new QLineEdit(QString::fromStdString(folder)))
{
    setWindowTitle(QStringLiteral("Working Directory"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Working directory:")));
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setFixedWidth(32);
    row->addWidget(browse);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &CWorkingFolderDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CWorkingFolderDlg::reject);
    connect(browse, &QPushButton::clicked, this, [this] {
        std::string chosen;
        if (CFolderDialog::Choose(this, m_prompt, QStringLiteral("Set Working Directory"), Folder(), chosen))
            m_folder->setText(QString::fromStdString(chosen));
    });
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

std::string CWorkingFolderDlg::Folder() const { return m_folder->text().trimmed().toStdString(); }

bool CWorkingFolderDlg::RefuseEmpty()
{
    if (!Folder().empty())
        return false;
    m_prompt.Show("Working Directory cannot be empty.  Please choose a valid directory", "Modwright",
                  PromptButtons::Ok, PromptIcon::None);
    m_folder->setFocus();
    return true;
}

void CWorkingFolderDlg::accept()
{
    if (!RefuseEmpty())
        QDialog::accept();
}

void CWorkingFolderDlg::reject()
{
    if (!RefuseEmpty())
        QDialog::reject();
}

} // namespace mw
