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

bool ConsolePrompt::AskSavePath(const std::string&, const std::string&, const std::string&, std::string&)
{
    return false;
}

} // namespace mw
