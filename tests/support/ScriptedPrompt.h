// A prompt for tests: records every message and replays queued answers
// (the non-interactive answer when none is queued).
#pragma once

#include "context/IUserPrompt.h"

#include <deque>
#include <string>
#include <vector>

namespace mw::test {

class ScriptedPrompt : public IUserPrompt
{
public:
    struct Message
    {
        std::string text;
        std::string caption;
        PromptButtons buttons;
        PromptIcon icon;
        std::string details;
    };

    PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                      PromptIcon icon) override;
    PromptAnswer ShowWithDetails(const std::string& text, const std::string& caption, PromptButtons buttons,
                                 PromptIcon icon, const std::string& details) override;
    bool AskSavePath(const std::string& proposedName, const std::string& filter, const std::string& startFolder,
                     std::string& chosenPath) override;

    std::vector<Message> messages;
    std::deque<PromptAnswer> answers;
    std::deque<std::string> savePaths; // empty string: cancel
};

} // namespace mw::test
