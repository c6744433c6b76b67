// The new-mod dialog: a name field whose OK creates the mod's folders once
// the name passes its checks.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

namespace mw {

class CModwrightApp;
class IUserPrompt;

class CNewCustomMapDlg : public QDialog
{
    Q_OBJECT
public:
    CNewCustomMapDlg(CModwrightApp& app, IUserPrompt& prompt, QWidget* parent = nullptr);

    // The name of the mod created, after OK.
    std::string ModName() const { return m_created; }
    QLineEdit* NameField() const { return m_name; }
    QPushButton* OkButton() const { return m_ok; }

public slots:
    void accept() override;

private:
    CModwrightApp& m_app;
    IUserPrompt& m_prompt;
    QLineEdit* m_name;
    QPushButton* m_ok;
    std::string m_created;
};

} // namespace mw
