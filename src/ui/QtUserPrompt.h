// The prompt of the windowed program: message boxes and save dialogs.
#pragma once

#include "context/IUserPrompt.h"

class QWidget;

namespace mw {

class QtUserPrompt final : public IUserPrompt
{
public:
    // Boxes are owned by the window given (none: no owner).
    void SetOwner(QWidget* owner) { m_owner = owner; }

    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
    PromptAnswer ShowWithDetails(const std::string& text, const std::string& caption, PromptButtons buttons,
                                 PromptIcon icon, const std::string& details) override;
    bool AskSavePath(const std::string& proposedName, const std::string& filter, const std::string& startFolder,
                     std::string& chosenPath) override;

private:
    QWidget* m_owner = nullptr;
};

} // namespace mw
