// The check-out rule.
#include "CheckOutRule.h"

#include "context/IWorkspaceContext.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {

CheckOutResult ApplyCheckOutRule(IWorkspaceContext& context, const std::string& path)
{
    SourceControlClient& sourceControl = context.SourceControl();
    FileStatus status;
    if (sourceControl.GetFileStatus(path, status) == 0 && status.outToUser)
    {
        if (status.userName != sourceControl.GetUserName())
        {
            context.Log(Format("File %s checked out by another user.", path.c_str()), true, true);
            return CheckOutResult::OtherUser;
        }
        return CheckOutResult::AlreadyHeld;
    }
    int result = sourceControl.CheckOutFile(path, true);
    if (result == 2)
        return CheckOutResult::AlreadyHeld;
    if (result == 0)
        return CheckOutResult::CheckedOut;
    context.Log(Format("Checkout Error for file: %s (Error %d).", path.c_str(), result), true, true);
    return CheckOutResult::Failed;
}

} // namespace mw
