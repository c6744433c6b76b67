// The working folder prompt: one folder field that must not be left empty,
// neither with OK nor with Cancel.
#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

namespace mw {

class IUserPrompt;

class CWorkingFolderDlg : public QDialog
{
    Q_OBJECT
public:
    CWorkingFolderDlg(const std::string& folder, IUserPrompt& prompt, QWidget* parent = nullptr);

    std::string Folder() const;
    QLineEdit* FolderField() const { return m_folder; }

public slots:
    void accept() override;
    void reject() override;

private:
    bool RefuseEmpty();

    IUserPrompt& m_prompt;
    QLineEdit* m_folder;
};

} // namespace mw
