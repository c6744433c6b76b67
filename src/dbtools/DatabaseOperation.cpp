// The shared frame of the whole-database tools.
#include "DatabaseOperation.h"

#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {

std::string ModDatabaseFolder(IWorkspaceContext& context) { return context.GetWorkingDir() + "database/"; }

bool WalkDatabaseWithClosingLines(IWorkspaceContext& context, uint64_t startTick, const DatabaseOperationTexts& texts,
                                  const std::function<bool(const std::string&)>* visit, WalkResult* result)
{
    std::string folder = ModDatabaseFolder(context);
    if (!EnsureFolders(folder))
    {
        context.Log(Format("Error creating directory: %s", folder.c_str()), true, texts.folderErrorIsError);
        return false;
    }
    WalkResult walk;
    if (visit)
        walk = WalkDatabaseFolder(context, folder, *visit);
    else
        walk.cancelled = true;
    LogClosingLines(context, startTick, texts, walk);
    if (!context.ResetCancel() && texts.reportResetFailure)
        context.Prompt().Show(LastErrorText(), "Error", PromptButtons::Ok, PromptIcon::Information);
    context.EndOperation();
    if (result)
        *result = walk;
    return true;
}

void LogClosingLines(IWorkspaceContext& context, uint64_t startTick, const DatabaseOperationTexts& texts,
                     const WalkResult& result)
{
    if (result.cancelled)
    {
        context.Log(texts.cancelled, true, false);
        context.Log("", true, false);
    }
    else
    {
        context.Log("", true, false);
        context.Log(Format("%d errors(s)", result.errors), true, false);
    }
    uint64_t seconds = (TickCountMs() - startTick) / 1000;
    context.Log(Format(texts.timeFormat, int(seconds / 60), int(seconds % 60)), true, false);
}

SyncCheckOut CheckOutForSync(IWorkspaceContext& context, const std::string& path, bool checkInWhenHeld, bool& checkIn)
{
    SourceControlClient& sourceControl = context.SourceControl();
    FileStatus status;
    if (sourceControl.GetFileStatus(path, status) == 0 && status.outToUser)
    {
        if (status.userName != sourceControl.GetUserName())
        {
            context.Log(Format("File %s checked out by another user, unable to synchronize.", path.c_str()), true, true);
            return SyncCheckOut::OtherUser;
        }
        checkIn = checkInWhenHeld;
        return SyncCheckOut::Proceed;
    }
    int result = sourceControl.CheckOutFile(path, true);
    if (result == 0 || result == 2)
    {
        checkIn = result == 0;
        return SyncCheckOut::Proceed;
    }
    context.Log(Format("Checkout Error for file: %s (Error %d).", path.c_str(), result), true, true);
    return SyncCheckOut::Failed;
}

bool LoadRecordTemplate(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate)
{
    dbTemplate.FileState().SetPrompt(&context.Prompt());
    std::string path = ResolveTemplatePath(record.GetTemplateName(), context.GetWorkingDir());
    return dbTemplate.FileState().Open(path, true) == 1 && dbTemplate.LoadIncludes(context.GetWorkingDir(), &context) == 1;
}

} // namespace mw
