// The server monitor: the time a ping to the source-control server takes
// and each user's state.
#pragma once

#include <QDialog>

class QLabel;
class QTreeWidget;

namespace mw {

class SourceControlClient;

class CServerMonitorDialog : public QDialog
{
    Q_OBJECT
public:
    CServerMonitorDialog(SourceControlClient& sourceControl, QWidget* parent = nullptr);

    // Pings the server and fills the list (called once the dialog shows).
    void Refresh();

private:
    SourceControlClient& m_sourceControl;
    QLabel* m_ping;
    QTreeWidget* m_users;
};

} // namespace mw
