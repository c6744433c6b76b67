// Finding and rewriting references to moved, renamed and deleted files.
#include "MovedReferences.h"

#include "CheckOutRule.h"
#include "DatabaseWalk.h"
#include "ReferenceMatching.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbDocument.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <memory>

namespace mw {

std::string SelectedDatabaseFolder(IWorkspaceContext& context)
{
    std::string mod = context.GetCurrentModName();
    return context.GetWorkingDir() + (mod.empty() ? std::string() : "CustomMaps/" + mod + "/") + "database/";
}

std::vector<ReferringFile> FindReferringFiles(IWorkspaceContext& context, const std::vector<PathChange>& changes)
{
    std::vector<ReferringFile> referring;
    std::vector<ReferenceTarget> targets = ReferenceTargetsOf(context, changes);
    if (targets.empty())
        return referring;
    WalkDatabaseFolder(context, SelectedDatabaseFolder(context), [&](const std::string& fullPath) {
        int matches = 0;
        if (VisitReferences(fullPath, targets, false, matches) && matches > 0)
            referring.push_back(ReferringFile{ToForwardSlashes(SourceControlPathOf(context, fullPath)), matches});
        return true;
    });
    return referring;
}

std::vector<std::string> PathsOfReferringFiles(const std::vector<ReferringFile>& files)
{
    std::vector<std::string> paths;
    for (const ReferringFile& file : files)
        paths.push_back(file.path);
    return paths;
}

ReferenceRewriteResult RewriteReferences(IWorkspaceContext& context, const std::vector<PathChange>& changes,
                                         const std::vector<std::string>& files, bool dryRun)
{
    ReferenceRewriteResult result;
    // Deleted files have nothing to be rewritten to.
    std::vector<ReferenceTarget> targets;
    for (const ReferenceTarget& target : ReferenceTargetsOf(context, changes))
        if (!target.newName.empty())
            targets.push_back(target);
    if (targets.empty())
        return result;
    for (const std::string& file : files)
    {
        int matches = 0;
        std::unique_ptr<DbDocument> document =
            VisitReferences(context.GetWorkingDir() + file, targets, !dryRun, matches);
        if (!document)
        {
            result.failed.push_back(file);
            continue;
        }
        if (matches == 0)
            continue;
        if (dryRun)
        {
            result.rewritten.push_back(file);
            continue;
        }
        CheckOutResult checkOut = ApplyCheckOutRule(context, file);
        if (checkOut == CheckOutResult::OtherUser)
        {
            result.heldByOthers.push_back(file);
            continue;
        }
        if (checkOut == CheckOutResult::Failed || document->FileState().Save() != 1)
        {
            result.failed.push_back(file);
            continue;
        }
        if (checkOut == CheckOutResult::CheckedOut && !context.SourceControl().CheckInFile(file))
        {
            context.Log(Format("Checkin Error for file: %s", file.c_str()), true, true);
            result.failed.push_back(file);
            continue;
        }
        result.rewritten.push_back(file);
    }
    return result;
}

} // namespace mw
