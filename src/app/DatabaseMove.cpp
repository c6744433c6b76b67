// Moves of records, templates and their folders that keep references.
#include "DatabaseMove.h"

#include "FileCommands.h"
#include "context/IWorkspaceContext.h"
#include "dbtools/CheckOutRule.h"
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

// The outermost folder along folder (relative, ending in '/') that does not
// exist yet, or empty when all of them exist.
std::string FirstMissingFolder(const std::string& working, const std::string& folder)
{
    for (size_t slash = folder.find('/'); slash != std::string::npos; slash = folder.find('/', slash + 1))
        if (!IsFolder(working + folder.substr(0, slash + 1)))
            return folder.substr(0, slash + 1);
    return std::string();
}

// True when no file lies anywhere below folder (an absolute path).
bool HoldsNoFiles(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return false;
    for (const FolderEntry& entry : entries)
        if (!entry.isFolder || !HoldsNoFiles(folder + "/" + entry.name))
            return false;
    return true;
}

// Removes the empty folders below and including folder (an absolute path)
// from the disk, innermost first.
void RemoveEmptyFolders(const std::string& folder)
{
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries)
        if (entry.isFolder)
            RemoveEmptyFolders(folder + "/" + entry.name);
    RemoveEmptyFolder(folder);
}

// Keeps the bytes of files about to be rewritten under a second name (a
// hard link, which takes no room), so that a move that fails half-way is
// undone by renames alone, which a full disk does not stop. Where the file
// system has no hard links the bytes are held in memory and written back.
class RewriteBackups
{
public:
    explicit RewriteBackups(std::string working) : m_working(std::move(working)) {}
    ~RewriteBackups() { Discard(); }

    // False when the file's bytes could not be kept.
    bool Keep(const std::string& path)
    {
        Kept kept;
        kept.file = m_working + path;
        kept.backup = ParentPath(kept.file) + "/." + std::to_string(m_kept.size()) + ".mwkeep";
        RemoveFile(kept.backup);
        if (!LinkFile(kept.file, kept.backup))
        {
            kept.backup.clear();
            if (!ReadWholeFile(kept.file, kept.bytes))
                return false;
        }
        m_kept.push_back(std::move(kept));
        return true;
    }
    // Puts every kept file back as it was, the last kept first.
    void Restore()
    {
        for (auto kept = m_kept.rbegin(); kept != m_kept.rend(); ++kept)
        {
            // A file that was never replaced is the backup's own inode, and
            // a rename between two names of one file leaves both: the
            // backup is then removed by hand.
            if (kept->backup.empty())
                WriteFileAtomic(kept->file, kept->bytes);
            else if (RenamePath(kept->backup, kept->file))
                RemoveFile(kept->backup);
        }
        m_kept.clear();
    }
    void Discard()
    {
        for (const Kept& kept : m_kept)
            if (!kept.backup.empty())
                RemoveFile(kept.backup);
        m_kept.clear();
    }

private:
    struct Kept
    {
        std::string file;
        std::string backup; // empty: the bytes are held instead
        std::string bytes;
    };
    std::string m_working;
    std::vector<Kept> m_kept;
};

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

    // The folders the move makes for the new path go again when it is undone
    // or refused, so that none stays behind empty (or, with a server, as a
    // folder added for nothing).
    const std::string newFolder = FirstMissingFolder(working, ParentOf(to));
    EnsureFolders(working + ParentOf(to));
    if (context.SourceControl().RenameFile(from, to) != 0)
    {
        if (!newFolder.empty() && HoldsNoFiles(working + newFolder))
            RemoveEmptyFolders(WithoutTrailingSlashes(working + newFolder));
        result.error = Format("Couldn't move %s to %s.", from.c_str(), to.c_str());
        return result;
    }
    // Each moved file remembers where it was, for Update References. A
    // history or a referrer that cannot be written (a full disk, say) undoes
    // the whole move, so that it never leaves a moved record without its
    // history or with referrers that still name the old path. Moved files
    // are checked out for their history and checked in once all is written.
    RewriteBackups backups(working);
    std::vector<std::string> checkedOut;
    auto undo = [&](const std::string& why) {
        backups.Restore();
        for (const std::string& path : checkedOut)
            context.SourceControl().RevertFile(path);
        context.SourceControl().RenameFile(to, from);
        if (!newFolder.empty() && HoldsNoFiles(working + newFolder))
            context.SourceControl().DeleteDirectory(newFolder);
        result.error = Format("Couldn't move %s to %s: %s; nothing was changed.", from.c_str(), to.c_str(), why.c_str());
    };
    std::vector<std::string> moved;
    if (result.isFolder)
        CollectDocuments(context, result.newPath, moved);
    else
        moved.push_back(to);
    for (const std::string& path : moved)
    {
        std::string earlier = result.isFolder ? result.oldPath + path.substr(result.newPath.size()) : from;
        CheckOutResult checkOut = ApplyCheckOutRule(context, path);
        if (checkOut == CheckOutResult::CheckedOut)
            checkedOut.push_back(path);
        if (checkOut == CheckOutResult::Failed || checkOut == CheckOutResult::OtherUser || !backups.Keep(path) ||
            !RememberEarlierPath(context, path, earlier))
            result.historyFailed.push_back(path);
    }
    if (!result.historyFailed.empty())
    {
        undo("the name history of " + result.historyFailed.front() + " could not be written");
        return result;
    }
    // Searched after the move, so that referring files inside a moved folder are found where they are now.
    std::vector<std::string> referring = PathsOfReferringFiles(FindReferringFiles(context, changes));
    for (const std::string& path : referring)
    {
        if (!backups.Keep(path))
        {
            undo("the bytes of " + path + " could not be kept for the rewrite");
            return result;
        }
    }
    result.references = RewriteReferences(context, changes, referring, false);
    if (!result.references.failed.empty())
    {
        undo(result.references.failed.front() + " could not be rewritten");
        return result;
    }
    backups.Discard();
    // The move stands: a history that cannot be checked in stays checked
    // out, and is reported.
    for (const std::string& path : checkedOut)
        if (!context.SourceControl().CheckInFile(path))
            result.historyFailed.push_back(path);
    return result;
}

} // namespace mw
