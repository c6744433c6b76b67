// Reference-keeping moves and renames, warned deletes, deletes to the trash.
#include "FileReorganiser.h"

#include "FileCommands.h"
#include "context/IWorkspaceContext.h"
#include "dbtools/ReferenceIndex.h"
#include "platform/FileSystem.h"
#include "platform/NativePaths.h"
#include "platform/PathRules.h"
#include "platform/Trash.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {
namespace {

// How many referring files the delete confirmation names.
constexpr size_t kNamedReferrers = 10;

bool IsDatabaseDocument(const std::string& path)
{
    std::string extension = ToLowerAscii(Extension(path));
    return extension == "dbr" || extension == "tpl";
}

std::string FileNameOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsBelowFolder(const std::string& path, const std::string& folder)
{
    std::string prefix = ToLowerAscii(ToForwardSlashes(folder));
    if (!prefix.empty() && prefix.back() != '/')
        prefix += '/';
    return ToLowerAscii(ToForwardSlashes(path)).rfind(prefix, 0) == 0;
}

std::string Lines(const std::vector<std::string>& paths)
{
    std::string text;
    for (const std::string& path : paths)
        text += (text.empty() ? "" : "\n") + path;
    return text;
}

} // namespace

FileReorganiser::FileReorganiser(IWorkspaceContext& context, bool network, bool databaseTab, ReferenceIndex* index)
    : m_context(context), m_network(network), m_databaseTab(databaseTab), m_index(index)
{
}

std::vector<ReferringFile> FileReorganiser::FindReferrers(const std::vector<PathChange>& changes)
{
    if (m_busy)
        m_busy(true);
    std::vector<ReferringFile> found =
        m_index ? m_index->FindReferringFiles(m_context, changes) : FindReferringFiles(m_context, changes);
    if (m_busy)
        m_busy(false);
    return found;
}

bool FileReorganiser::RenameFile(const std::string& oldPath, const std::string& newName)
{
    if (!mw::RenameFile(m_context, oldPath, newName))
        return false;
    std::string newPath = FolderOf(oldPath) + newName;
    if (m_databaseTab && IsDatabaseDocument(oldPath))
    {
        // The old path is remembered whatever the answer about references,
        // so that a later reference update can still repair them.
        if (IsDatabaseDocument(newPath) && !RememberEarlierPath(m_context, newPath, oldPath))
            m_context.Prompt().Show(Format("Couldn't note the earlier name in %s.", newPath.c_str()), "",
                                    PromptButtons::Ok, PromptIcon::Error);
        KeepReferences({PathChange{oldPath, newPath, false}});
    }
    return true;
}

std::string FileReorganiser::RenameFolder(const std::string& folder, const std::string& newName)
{
    std::string renamed = mw::RenameFolder(m_context, folder, newName);
    if (!renamed.empty() && m_databaseTab)
        KeepReferences({PathChange{folder, renamed, true}});
    return renamed;
}

std::vector<std::string> FileReorganiser::MoveRecords(const std::vector<std::string>& paths,
                                                      const std::string& folder)
{
    std::vector<std::string> moved;
    std::vector<PathChange> changes;
    for (const std::string& path : paths)
    {
        std::string target = MoveRecord(m_context, path, folder);
        if (target.empty())
            continue;
        moved.push_back(target);
        if (IsDatabaseDocument(path))
            changes.push_back(PathChange{path, target, false});
    }
    // One question for the whole move.
    if (m_databaseTab && !changes.empty())
        KeepReferences(changes);
    return moved;
}

int FileReorganiser::KeepReferences(const std::vector<PathChange>& changes)
{
    std::vector<ReferringFile> referring = FindReferrers(changes);
    if (referring.empty())
        return 0;
    int references = 0;
    for (const ReferringFile& file : referring)
        references += file.references;
    std::vector<std::string> files = PathsOfReferringFiles(referring);
    std::string question = Format(references == 1 ? "Update %d reference?" : "Update %d references?", references) +
                           Format(files.size() == 1 ? "\n\n%d file still refers to the old paths."
                                                    : "\n\n%d files still refer to the old paths.",
                                  int(files.size()));
    if (m_context.Prompt().ShowWithDetails(question, "Update References", PromptButtons::YesNo, PromptIcon::Question,
                                           Lines(files)) != PromptAnswer::Yes)
        return 0;
    ReferenceRewriteResult result = RewriteReferences(m_context, changes, files, false);
    for (const std::string& file : result.rewritten)
    {
        if (m_index)
            m_index->Forget(m_context, file);
        m_context.Log(Format("Updated references in \"%s\".", file.c_str()), true, false);
    }
    if (!result.heldByOthers.empty())
        m_context.Prompt().ShowWithDetails(
            Format(result.heldByOthers.size() == 1
                       ? "%d file is checked out by another user and still refers to the old paths."
                       : "%d files are checked out by another user and still refer to the old paths.",
                   int(result.heldByOthers.size())),
            "Update References", PromptButtons::Ok, PromptIcon::Warning, Lines(result.heldByOthers));
    if (!result.failed.empty())
        m_context.Prompt().ShowWithDetails(
            Format(result.failed.size() == 1 ? "Couldn't update the references in %d file."
                                             : "Couldn't update the references in %d files.",
                   int(result.failed.size())),
            "Update References", PromptButtons::Ok, PromptIcon::Error, Lines(result.failed));
    return int(result.rewritten.size());
}

std::string FileReorganiser::ReferrersText(const std::vector<PathChange>& deleted, bool several,
                                           std::string& fullList)
{
    if (!m_databaseTab || deleted.empty())
        return std::string();
    std::vector<std::string> files = PathsOfReferringFiles(FindReferrers(deleted));
    // A file that is deleted along with what it refers to is no loss.
    std::vector<std::string> remaining;
    for (const std::string& file : files)
    {
        bool alsoDeleted = false;
        for (const PathChange& change : deleted)
            alsoDeleted = alsoDeleted || (change.isFolder ? IsBelowFolder(file, change.oldPath)
                                                          : EqualsNoCase(ToForwardSlashes(file),
                                                                         ToForwardSlashes(change.oldPath)));
        if (!alsoDeleted)
            remaining.push_back(file);
    }
    if (remaining.empty())
        return std::string();
    // The whole list stays behind the details button when the text names only some.
    if (remaining.size() > kNamedReferrers)
        fullList = Lines(remaining);
    const char* heading = remaining.size() == 1
                              ? (several ? "%d file still refers to them:" : "%d file still refers to it:")
                              : (several ? "%d files still refer to them:" : "%d files still refer to it:");
    std::string text = Format(heading, int(remaining.size()));
    for (size_t i = 0; i < remaining.size() && i < kNamedReferrers; ++i)
        text += "\n" + remaining[i];
    if (remaining.size() > kNamedReferrers)
        text += Format("\n... and %d more.", int(remaining.size() - kNamedReferrers));
    return text;
}

bool FileReorganiser::DeleteFiles(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    std::string question = paths.size() == 1
                               ? Format("Are you sure you want to delete the file '%s'?", FileNameOf(paths[0]).c_str())
                               : Format("Are you sure you want to delete these %d files?", int(paths.size()));
    std::vector<PathChange> deleted;
    for (const std::string& path : paths)
        if (IsDatabaseDocument(path))
            deleted.push_back(PathChange{path, std::string(), false});
    std::string fullList;
    std::string referrers = ReferrersText(deleted, paths.size() > 1, fullList);
    PromptAnswer answer =
        referrers.empty()
            ? m_context.Prompt().Show(question, "Confirm File Delete", PromptButtons::YesNo, PromptIcon::Question)
            : m_context.Prompt().ShowWithDetails(question + "\n\n" + referrers, "Confirm File Delete",
                                                 PromptButtons::YesNo, PromptIcon::Warning, fullList);
    if (answer != PromptAnswer::Yes)
        return false;
    bool any = false;
    for (const std::string& path : paths)
    {
        if (RemoveFile(path))
            any = true;
        else
            m_context.Prompt().Show("Error deleting file", "", PromptButtons::Ok, PromptIcon::Error);
    }
    return any;
}

bool FileReorganiser::DeleteFolder(const std::string& folder)
{
    std::string shown = folder;
    while (!shown.empty() && shown.back() == '/')
        shown.pop_back();
    std::string question = Format("Are you sure you want to delete the folder '%s' and its contents?", shown.c_str());
    std::string fullList;
    std::string referrers = ReferrersText({PathChange{folder, std::string(), true}}, true, fullList);
    PromptAnswer answer =
        referrers.empty()
            ? m_context.Prompt().Show(question, "", PromptButtons::YesNo, PromptIcon::Question)
            : m_context.Prompt().ShowWithDetails(question + "\n\n" + referrers, "", PromptButtons::YesNo,
                                                 PromptIcon::Warning, fullList);
    if (answer != PromptAnswer::Yes)
        return false;
    if (!RemoveFolder(folder))
    {
        m_context.Prompt().Show("Error deleting directory", "", PromptButtons::Ok, PromptIcon::Error);
        return false;
    }
    return true;
}

bool FileReorganiser::RemoveFile(const std::string& path)
{
    if (!m_network)
    {
        // A file that could not be moved to the trash is kept rather than lost.
        TrashResult trashed = MoveToTrash(m_context.GetWorkingDir() + path).result;
        if (trashed == TrashResult::Trashed)
            m_context.Log(Format("Sent to the trash: %s", ToNativeSeparators(path).c_str()), true, false);
        if (trashed != TrashResult::NoTrash)
            return trashed == TrashResult::Trashed;
        SayNoTrashOnce();
    }
    return m_context.SourceControl().DeleteFileA(path) == 0;
}

bool FileReorganiser::RemoveFolder(const std::string& folder)
{
    if (!m_network)
    {
        std::string local = m_context.GetWorkingDir() + folder;
        // A link is trashed as the link, never what it points at.
        TrashResult trashed = MoveToTrash(local).result;
        if (trashed == TrashResult::Trashed)
            m_context.Log(Format("Sent to the trash: %s", ToNativeSeparators(folder).c_str()), true, false);
        if (trashed != TrashResult::NoTrash)
            return trashed == TrashResult::Trashed;
        SayNoTrashOnce();
    }
    return m_context.SourceControl().DeleteDirectory(folder) == 0;
}

void FileReorganiser::SayNoTrashOnce()
{
    if (m_noTrashSaid)
        return;
    m_noTrashSaid = true;
    m_context.Prompt().Show("No trash is available for these files, so they are deleted for good.", "",
                            PromptButtons::Ok, PromptIcon::Information);
}

} // namespace mw
