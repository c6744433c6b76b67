// The login dialog.
#include "CLoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

namespace mw {

CLoginDialog::CLoginDialog(const std::string& userName, const std::string& server, QWidget* parent)
    : QDialog(parent), m_userName(new QLineEdit(QString::fromUtf8(userName))),
      m_server(new QLineEdit(QString::fromUtf8(server)))
{
    setWindowTitle(QStringLiteral("Modwright Login"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("User name:"), m_userName);
    form->addRow(QStringLiteral("Server:"), m_server);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    setMinimumWidth(380);
}

std::string CLoginDialog::UserName() const { return m_userName->text().toStdString(); }

std::string CLoginDialog::Server() const { return m_server->text().toStdString(); }

} // namespace mw
