// The group dialog.
#include "CGroupDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace mw {

CGroupDialog::CGroupDialog(const QString& title, const QString& name, const QString& type, QWidget* parent)
    : QDialog(parent), m_name(new QLineEdit(name, this)), m_type(new QComboBox(this))
{
    setWindowTitle(title);
    m_type->addItems({"list", "system"});
    m_type->setCurrentText(type.isEmpty() ? "list" : type);
    auto* layout = new QFormLayout(this);
    layout->addRow("Name:", m_name);
    layout->addRow("Type:", m_type);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::string CGroupDialog::Name() const
{
    return m_name->text().toStdString();
}

std::string CGroupDialog::Type() const
{
    return m_type->currentText().toStdString();
}

} // namespace mw
