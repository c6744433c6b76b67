// The login dialog of network mode: user name and server.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace mw {

class CLoginDialog : public QDialog
{
    Q_OBJECT
public:
    CLoginDialog(const std::string& userName, const std::string& server, QWidget* parent = nullptr);

    std::string UserName() const;
    std::string Server() const;

private:
    QLineEdit* m_userName;
    QLineEdit* m_server;
};

} // namespace mw
