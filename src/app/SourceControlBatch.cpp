// Source-control actions over a list of files.
#include "SourceControlBatch.h"

#include "context/IWorkspaceContext.h"
#include "dbtools/CheckOutRule.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {

const char* BatchOperationName(BatchAction action)
{
    switch (action)
    {
    case BatchAction::CheckOut:
        return "Check Out";
    case BatchAction::CheckIn:
        return "Check In";
    case BatchAction::Revert:
        break;
    }
    return "Revert";
}

bool ConfirmBatch(IUserPrompt& prompt, BatchAction action, size_t count)
{
    if (count <= 5)
        return true;
    const char* format = "You are attempting to revert %d files. Proceed with revert?";
    if (action == BatchAction::CheckOut)
        format = "You are attempting to check out %d files. Proceed with check out?";
    else if (action == BatchAction::CheckIn)
        format = "You are attempting to check in %d files. Proceed with check in?";
    std::string text = Format(format, int(count));
    return prompt.Show(text, BatchOperationName(action), PromptButtons::YesNo, PromptIcon::Question) ==
           PromptAnswer::Yes;
}

int RunBatch(IWorkspaceContext& context, BatchAction action, const std::vector<std::string>& paths,
             const std::function<void(size_t done, size_t total)>& progress, const std::string& message)
{
    SourceControlClient& sourceControl = context.SourceControl();
    int failures = 0;
    for (size_t i = 0; i < paths.size(); ++i)
    {
        if (context.IsCancelled())
            break;
        const std::string& path = paths[i];
        switch (action)
        {
        case BatchAction::CheckOut:
        {
            CheckOutResult result = ApplyCheckOutRule(context, path);
            if (result == CheckOutResult::Failed || result == CheckOutResult::OtherUser)
                ++failures;
            break;
        }
        case BatchAction::CheckIn:
            if (!sourceControl.CheckInFile(path, message))
            {
                context.Log(Format("Error checking in file %s", path.c_str()), true, true);
                ++failures;
            }
            break;
        case BatchAction::Revert:
            if (!sourceControl.RevertFile(path))
            {
                context.Log(Format("Error reverting file %s", path.c_str()), true, true);
                ++failures;
            }
            break;
        }
        if (progress)
            progress(i + 1, paths.size());
    }
    // A stopped loop leaves no signalled cancel event behind for the next operation.
    context.ResetCancel();
    return failures;
}

} // namespace mw
