// The database folder walk and path forms.
#include "DatabaseWalk.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <vector>

namespace mw {

WalkResult WalkDatabaseFolder(IWorkspaceContext& context, const std::string& folder,
                              const std::function<bool(const std::string& path)>& visit)
{
    WalkResult result;
    if (context.IsCancelled())
    {
        result.cancelled = true;
        return result;
    }
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
        {
            WalkResult inner = WalkDatabaseFolder(context, folder + entry.name + "/", visit);
            result.errors += inner.errors;
            if (inner.cancelled)
            {
                result.cancelled = true;
                return result;
            }
            continue;
        }
        if (context.IsCancelled())
        {
            result.cancelled = true;
            return result;
        }
        if (!visit(folder + entry.name))
            ++result.errors;
    }
    return result;
}

std::string SourceControlPathOf(IWorkspaceContext& context, const std::string& fullPath)
{
    size_t cut = context.GetWorkingDir().size();
    return fullPath.size() > cut ? fullPath.substr(cut) : std::string();
}

std::string RootRelativePath(IWorkspaceContext& context, const std::string& fullPath)
{
    std::string mod = context.GetCurrentModName();
    std::string root = context.GetWorkingDir() + (mod.empty() ? std::string() : "CustomMaps/" + mod + "/");
    // Found without regard to letter case, with either separator.
    std::string foldedPath = ToLowerAscii(ToForwardSlashes(fullPath));
    size_t at = foldedPath.find(ToLowerAscii(ToForwardSlashes(root)));
    if (at == std::string::npos || root.empty())
        return fullPath;
    return fullPath.substr(0, at) + fullPath.substr(at + root.size());
}

std::string DatabaseRelativePath(const std::string& path) { return RemoveFirstNoCase(ToBackslashes(path), "database\\"); }

bool HasLastThree(const std::string& path, const char* extension) { return EndsWith(path, extension); }

ScopedSourceControlLogDetach::ScopedSourceControlLogDetach(IWorkspaceContext& context) : m_context(context)
{
    m_context.SourceControl().SetLog(nullptr);
}

ScopedSourceControlLogDetach::~ScopedSourceControlLogDetach()
{
    m_context.SourceControl().SetLog(m_context.MainFrameLog());
}

} // namespace mw
