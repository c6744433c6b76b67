// The scripted prompt.
#include "ScriptedPrompt.h"

namespace mw::test {

PromptAnswer ScriptedPrompt::Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                                  PromptIcon icon)
{
    return ShowWithDetails(text, caption, buttons, icon, std::string());
}

PromptAnswer ScriptedPrompt::ShowWithDetails(const std::string& text, const std::string& caption,
                                             PromptButtons buttons, PromptIcon icon, const std::string& details)
{
    messages.push_back(Message{text, caption, buttons, icon, details});
    if (answers.empty())
        return NonInteractiveAnswer(buttons);
    PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

bool ScriptedPrompt::AskSavePath(const std::string&, const std::string&, const std::string&, std::string& chosenPath)
{
    if (savePaths.empty() || savePaths.front().empty())
    {
        if (!savePaths.empty())
            savePaths.pop_front();
        return false;
    }
    chosenPath = savePaths.front();
    savePaths.pop_front();
    return true;
}

} // namespace mw::test
