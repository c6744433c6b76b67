// Moves of records, templates and their folders that keep references.
#include "DatabaseMove.h"

#include "FileCommands.h"
#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {
namespace {

std::string WithoutTrailingSlashes(std::string path)
{
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string LastComponent(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

bool IsBelowDatabase(IWorkspaceContext& context, const std::string& path)
{
    std::string mod = context.GetCurrentModName();
    std::string database = (mod.empty() ? std::string() : "CustomMaps/" + mod + "/") + "database/";
    return path.size() > database.size() && StartsWithNoCase(path, database);
}

// Every record and template below a folder, relative to the working folder.
void CollectDocuments(IWorkspaceContext& context, const std::string& folder, std::vector<std::string>& paths)
{
    std::vector<FolderEntry> entries;
    ListFolder(context.GetWorkingDir() + folder, entries);
    for (const FolderEntry& entry : entries)
    {
        std::string path = folder + entry.name;
        if (entry.isFolder)
            CollectDocuments(context, path + "/", paths);
        else
        {
            std::string extension = ToLowerAscii(Extension(path));
            if (extension == "dbr" || extension == "tpl")
                paths.push_back(path);
        }
    }
}

} // namespace

DatabaseMoveResult MoveDatabasePath(IWorkspaceContext& context, const std::string& oldPath,
                                    const std::string& newPath, const std::string& extension, bool dryRun)
{
    DatabaseMoveResult result;
    std::string working = context.GetWorkingDir();
    std::string from = WithoutTrailingSlashes(ToForwardSlashes(oldPath));
    std::string to = ToForwardSlashes(newPath);
    result.isFolder = IsFolder(working + from);
    if (!result.isFolder && !IsFile(working + from))
    {
        result.error = Format("%s does not exist.", from.c_str());
        return result;
    }
    if (!IsBelowDatabase(context, from))
    {
        result.error = Format("%s is not below the database folder.", from.c_str());
        return result;
    }
    if (!result.isFolder && !EqualsNoCase(Extension(from), extension))
    {
        result.error = Format("%s is not a .%s file.", from.c_str(), extension.c_str());
        return result;
    }
    // A folder as the target: the moved item keeps its name there.
    if (to.empty() || to.back() == '/' || IsFolder(working + to))
        to = WithoutTrailingSlashes(to) + (to.empty() ? "" : "/") + LastComponent(from);
    to = WithoutTrailingSlashes(to);
    if (!IsBelowDatabase(context, to))
    {
        result.error = Format("%s is not below the database folder.", to.c_str());
        return result;
    }
    if (!result.isFolder && !EqualsNoCase(Extension(to), extension))
    {
        result.error = Format("%s does not end in .%s.", to.c_str(), extension.c_str());
        return result;
    }
    if (result.isFolder && StartsWithNoCase(to + "/", from + "/"))
    {
        result.error = Format("%s cannot be moved into itself.", from.c_str());
        return result;
    }
    if (PathExists(working + to))
    {
        result.error = Format("%s already exists.", to.c_str());
        return result;
    }
    result.oldPath = from + (result.isFolder ? "/" : "");
    result.newPath = to + (result.isFolder ? "/" : "");
    std::vector<PathChange> changes{PathChange{result.oldPath, result.newPath, result.isFolder}};

    if (dryRun)
    {
        result.references =
            RewriteReferences(context, changes, PathsOfReferringFiles(FindReferringFiles(context, changes)), true);
        return result;
    }

    EnsureFolders(working + ParentOf(to));
    if (context.SourceControl().RenameFile(from, to) != 0)
    {
        result.error = Format("Couldn't move %s to %s.", from.c_str(), to.c_str());
        return result;
    }
    // Each moved file remembers where it was, for Update References.
    std::vector<std::string> moved;
    if (result.isFolder)
        CollectDocuments(context, result.newPath, moved);
    else
        moved.push_back(to);
    for (const std::string& path : moved)
    {
        std::string earlier = result.isFolder ? result.oldPath + path.substr(result.newPath.size()) : from;
        if (!RememberEarlierPath(context, path, earlier))
            result.historyFailed.push_back(path);
    }
    // Searched after the move, so that referring files inside a moved folder are found where they are now.
    result.references =
        RewriteReferences(context, changes, PathsOfReferringFiles(FindReferringFiles(context, changes)), false);
    return result;
}

} // namespace mw
