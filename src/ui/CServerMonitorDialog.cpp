// The server monitor dialog.
#include "CServerMonitorDialog.h"

#include "app/UserStates.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

CServerMonitorDialog::CServerMonitorDialog(SourceControlClient& sourceControl, QWidget* parent)
    : QDialog(parent), m_sourceControl(sourceControl), m_ping(new QLabel), m_users(new QTreeWidget)
{
    setWindowTitle(QStringLiteral("Server Monitor"));
    m_users->setColumnCount(2);
    m_users->setHeaderLabels({QStringLiteral("User"), QStringLiteral("State")});
    m_users->setRootIsDecorated(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* again = buttons->addButton(QStringLiteral("&Refresh"), QDialogButtonBox::ActionRole);
    connect(again, &QPushButton::clicked, this, &CServerMonitorDialog::Refresh);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_ping);
    layout->addWidget(m_users, 1);
    layout->addWidget(buttons);
    resize(420, 320);
    QTimer::singleShot(0, this, &CServerMonitorDialog::Refresh);
}

void CServerMonitorDialog::Refresh()
{
    m_ping->setText(QStringLiteral("Working..."));
    QApplication::processEvents();
    int milliseconds = m_sourceControl.PingServer();
    m_ping->setText(QStringLiteral("%1 ms").arg(milliseconds));
    std::string state;
    m_sourceControl.GetUserState(state);
    m_users->clear();
    for (const auto& [user, userState] : UserStatePairs(state))
        new QTreeWidgetItem(m_users, {QString::fromUtf8(user), QString::fromUtf8(userState)});
}

} // namespace mw
