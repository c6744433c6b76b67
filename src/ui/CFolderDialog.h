// The folder chooser: a title, an initial folder, an optional root the user
// cannot go above, and a question when the typed path does not exist.
#pragma once

#include <QFileDialog>

#include <string>

namespace mw {

class IUserPrompt;

class CFolderDialog : public QFileDialog
{
    Q_OBJECT
public:
    // root empty: the whole file system.
    CFolderDialog(const QString& title, const std::string& initialFolder, const std::string& root,
                  IUserPrompt& prompt, QWidget* parent = nullptr);

    // The chosen folder after OK.
    std::string ChosenPath() const { return m_chosen; }

    // Shows the dialog; the chosen folder, or false when cancelled.
    static bool Choose(QWidget* parent, IUserPrompt& prompt, const QString& title, const std::string& initialFolder,
                       std::string& chosen, const std::string& root = std::string());

public slots:
    void accept() override;

private:
    bool IsBelowRoot(const QString& path) const;

    IUserPrompt& m_prompt;
    QString m_root;
    std::string m_chosen;
};

// The template folder browse: a folder dialog titled "Select the Template
// File directory:"; true with the folder when one was chosen.
bool BrowseTemplateFolder(QWidget* parent, IUserPrompt& prompt, const std::string& current, std::string& chosen);

} // namespace mw
