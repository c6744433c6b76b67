// The prompt of quiet mode and the command-line tool: prints each message and
// takes the answer that changes nothing.
#pragma once

#include "context/IUserPrompt.h"

#include <iosfwd>

namespace mw {

class ConsolePrompt final : public IUserPrompt
{
public:
    explicit ConsolePrompt(std::ostream& out) : m_out(out) {}

    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
    PromptAnswer ShowWithDetails(const std::string& text, const std::string& caption, PromptButtons buttons,
                                 PromptIcon icon, const std::string& details) override;
    bool AskSavePath(const std::string& proposedName, const std::string& filter, const std::string& startFolder,
                     std::string& chosenPath) override;

private:
    std::ostream& m_out;
};

} // namespace mw
