// The shared frame of the whole-database tools.
#include "DatabaseOperation.h"

#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

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
    if (walk.cancelled)
    {
        context.Log(texts.cancelled, true, false);
        context.Log("", true, false);
    }
    else
    {
        context.Log("", true, false);
        context.Log(Format("%d errors(s)", walk.errors), true, false);
    }
    context.Log(Format(texts.timeFormat, int((TickCountMs() - startTick) / 1000 / 60),
                       int((TickCountMs() - startTick) / 1000 % 60)),
                true, false);
    if (!context.ResetCancel() && texts.reportResetFailure)
        context.Prompt().Show(LastErrorText(), "Error", PromptButtons::Ok, PromptIcon::Information);
    context.EndOperation();
    if (result)
        *result = walk;
    return true;
}

bool LoadRecordTemplate(IWorkspaceContext& context, const DbRecord& record, DbTemplate& dbTemplate)
{
    dbTemplate.FileState().SetPrompt(&context.Prompt());
    std::string path = ResolveTemplatePath(record.GetTemplateName(), context.GetWorkingDir());
    return dbTemplate.FileState().Open(path, true) == 1 && dbTemplate.LoadIncludes(context.GetWorkingDir(), &context) == 1;
}

} // namespace mw
