// The new-mod dialog.
#include "CNewCustomMapDlg.h"

#include "app/CModwrightApp.h"
#include "app/ModManagement.h"
#include "app/WorkspaceOperations.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

namespace mw {

CNewCustomMapDlg::CNewCustomMapDlg(CModwrightApp& app, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), m_app(app), m_prompt(prompt), m_name(new QLineEdit)
{
    setWindowTitle(QStringLiteral("New Mod"));
    EnsureFolders(app.GetWorkingDir() + "CustomMaps\\");
    auto* form = new QFormLayout(this);
    m_name->setMaxLength(64);
    m_name->setToolTip(QStringLiteral("Letters, digits, \"_\" and \"-\"; fewer than 32 characters"));
    form->addRow(QStringLiteral("New Map Name:"), m_name);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewCustomMapDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) { m_ok->setEnabled(!text.isEmpty()); });
    form->addRow(buttons);
    setMinimumWidth(360);
    m_name->setFocus();
}

void CNewCustomMapDlg::accept()
{
    std::string name = m_name->text().toStdString();
    // The list of mods as source control has it now, not as it was at start.
    m_app.RefreshModList();
    std::string problem = CheckNewModName(name, m_app.GetModList());
    if (!problem.empty())
    {
        m_prompt.Show(problem, "Modwright", PromptButtons::Ok, PromptIcon::None);
        m_name->setFocus();
        return;
    }
    if (!NewModFolders(m_app, name))
        m_prompt.Show(Format("Some files of the new mod %s could not be created.", name.c_str()), "Modwright",
                      PromptButtons::Ok, PromptIcon::Error);
    m_created = name;
    QDialog::accept();
}

} // namespace mw
