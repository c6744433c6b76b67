// Message boxes and the save dialog of a Database Editor window, parented
// to that window.
#pragma once

#include "context/IUserPrompt.h"

#include <QString>

class QWidget;

namespace mw {

class CDbEditorPrompt final : public IUserPrompt
{
public:
    explicit CDbEditorPrompt(QWidget* parent) : m_parent(parent) {}
    // Where the save dialog starts for a document that has no folder yet.
    void SetDefaultFolder(const std::string& folder) { m_defaultFolder = folder; }

    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
    bool AskSavePath(const std::string& proposedName, const std::string& filter, const std::string& startFolder,
                     std::string& chosenPath) override;

private:
    QWidget* m_parent;
    std::string m_defaultFolder;
};

// "Name (*.x)|*.x|Other (*.*)|*.*|" as a Qt dialog filter "Name (*.x);;Other (*)".
QString QtFileFilter(const std::string& filter);

} // namespace mw
