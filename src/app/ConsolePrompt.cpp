// Console prompt: messages are printed, questions get the non-interactive answer.
#include "ConsolePrompt.h"

#include <ostream>

namespace mw {

PromptAnswer ConsolePrompt::Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                                 PromptIcon)
{
    if (!caption.empty())
        m_out << caption << ": ";
    m_out << text << std::endl;
    return NonInteractiveAnswer(buttons);
}

PromptAnswer ConsolePrompt::ShowWithDetails(const std::string& text, const std::string& caption,
                                            PromptButtons buttons, PromptIcon icon, const std::string& details)
{
    PromptAnswer answer = Show(text, caption, buttons, icon);
    if (!details.empty())
        m_out << details << std::endl;
    return answer;
}

bool ConsolePrompt::AskSavePath(const std::string&, const std::string&, const std::string&, std::string&)
{
    return false;
}

} // namespace mw
