// Message boxes, questions and file pickers that operations need. The GUI
// shows dialogs, quiet mode prints and takes the non-interactive answer, and
// tests script the answers and record every message.
#pragma once

#include <string>

namespace mw {

enum class PromptIcon
{
    None,
    Error,
    Warning,
    Question,
    Information,
};

enum class PromptButtons
{
    Ok,
    YesNo,
    YesNoCancel,
    // Yes, No, Yes to all and No to all: the confirmation of a series of deletions.
    YesNoYesToAllNoToAll,
    // Overwrite (Yes), Keep Mine (No) and Cancel: installing over files the
    // user has changed.
    OverwriteKeepMineCancel,
};

enum class PromptAnswer
{
    Ok,
    Yes,
    No,
    Cancel,
    YesToAll,
    NoToAll,
};

class IUserPrompt
{
public:
    // An empty caption shows the system's default caption.
    virtual PromptAnswer Show(const std::string& text, const std::string& caption, PromptButtons buttons,
                              PromptIcon icon) = 0;
    // A message with a list the user can open on request (the files a
    // question concerns). Prompts without such a button show the list below
    // the text.
    virtual PromptAnswer ShowWithDetails(const std::string& text, const std::string& caption, PromptButtons buttons,
                                         PromptIcon icon, const std::string& details)
    {
        return Show(details.empty() ? text : text + "\n\n" + details, caption, buttons, icon);
    }
    // Save dialog; false when cancelled, else the chosen full path.
    virtual bool AskSavePath(const std::string& proposedName, const std::string& filter,
                             const std::string& startFolder, std::string& chosenPath) = 0;

protected:
    ~IUserPrompt() = default;
};

// The answer that changes nothing: what a prompt without a person gives.
inline PromptAnswer NonInteractiveAnswer(PromptButtons buttons)
{
    switch (buttons)
    {
    case PromptButtons::YesNoCancel:
    case PromptButtons::OverwriteKeepMineCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
    case PromptButtons::YesNoYesToAllNoToAll:
        return PromptAnswer::No;
    case PromptButtons::Ok:
        break;
    }
    return PromptAnswer::Ok;
}

} // namespace mw
