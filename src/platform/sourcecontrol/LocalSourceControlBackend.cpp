// The local source-control backend.
#include "LocalSourceControlBackend.h"

#include "../FileSystem.h"
#include "../ManualResetEvent.h"
#include "../PathRules.h"

namespace mw {
namespace {

void CollectFiles(const std::string& folder, const std::string& relative, std::vector<std::string>& list)
{
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries))
        return;
    for (const FolderEntry& entry : entries)
    {
        if (entry.isFolder)
            CollectFiles(folder + "/" + entry.name, relative + entry.name + "/", list);
        else
            list.push_back(relative + entry.name);
    }
}

} // namespace

std::string LocalSourceControlBackend::Local(const std::string& path) const
{
    return WithTrailingSeparator(m_clientDirectory) + path;
}

bool LocalSourceControlBackend::Connect(const std::string&) { return true; }

int LocalSourceControlBackend::GetFileStatus(const std::string& path, FileStatus& status)
{
    status = FileStatus();
    if (!IsFile(Local(path)))
        return 1;
    status.serverVersion = 1;
    return 0;
}

int LocalSourceControlBackend::CheckOutFile(const std::string& path, bool)
{
    // Checking out locally means "I am about to edit it".
    MakeWritable(Local(path));
    return 0;
}

bool LocalSourceControlBackend::CheckInFile(const std::string&, const std::string&) { return true; }
bool LocalSourceControlBackend::RevertFile(const std::string&) { return true; }
bool LocalSourceControlBackend::AddFile(const std::string&) { return true; }
int LocalSourceControlBackend::AddFolder(const std::string& folder, const ManualResetEvent* cancel)
{
    // File by file, through the calls a derived backend may answer itself;
    // hidden folders (".svn", editors' own) are left alone.
    std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::vector<FolderEntry> entries;
    ListFolder(Local(prefix), entries);
    int added = 0;
    for (const FolderEntry& entry : entries)
    {
        if (cancel && cancel->IsSet())
            break;
        std::string relative = prefix + entry.name;
        if (entry.isFolder)
        {
            int below = entry.name[0] == '.' ? 0 : AddFolder(relative + "/", cancel);
            if (below < 0)
                return -1;
            added += below;
            continue;
        }
        FileStatus status;
        if (GetFileStatus(relative, status) != 1)
            continue;
        if (!AddFile(relative))
            return -1;
        ++added;
    }
    return added;
}
bool LocalSourceControlBackend::ResolveFile(const std::string& path) { return IsFile(Local(path)); }

int LocalSourceControlBackend::DeleteFile(const std::string& path)
{
    std::string local = Local(path);
    MakeWritable(local);
    return RemoveFile(local) ? 0 : 1;
}

int LocalSourceControlBackend::DeleteDirectory(const std::string& path)
{
    return DeleteFolderTree(Local(path)) ? 0 : 1;
}

int LocalSourceControlBackend::RenameFile(const std::string& oldPath, const std::string& newPath)
{
    return RenamePath(Local(oldPath), Local(newPath)) ? 0 : 1;
}

bool LocalSourceControlBackend::CreateDirectory(const std::string& path)
{
    std::string local = Local(path);
    return CreateFolder(local) || IsFolder(local);
}

bool LocalSourceControlBackend::CreateAllDirectories(const std::string& path) { return EnsureFolders(Local(path)); }

bool LocalSourceControlBackend::IsFileWriteable(const std::string& path)
{
    bool readOnly = true;
    return GetReadOnly(Local(path), readOnly) && !readOnly;
}

bool LocalSourceControlBackend::IsRelativeFileUpToDate(const std::string&) { return true; }

FileVersion LocalSourceControlBackend::GetClientFileVersion(const std::string& path)
{
    FileVersion version;
    if (IsFile(Local(path)))
        version.version = 1;
    return version;
}

int LocalSourceControlBackend::SyncPath(const std::string*, bool, const ManualResetEvent*) { return 0; }

void LocalSourceControlBackend::GetFolders(const std::string& path, std::vector<std::string>& list)
{
    list.clear();
    std::vector<FolderEntry> entries;
    if (!ListFolder(Local(path), entries))
        return;
    for (const FolderEntry& entry : entries)
        if (entry.isFolder && entry.name[0] != '.')
            list.push_back(entry.name);
}

void LocalSourceControlBackend::GetFiles(const std::string& path, std::vector<std::string>& list, int, bool onlyCheckedOut,
                                         const std::string&)
{
    list.clear();
    // Nothing is ever checked out locally.
    if (onlyCheckedOut)
        return;
    std::vector<FolderEntry> entries;
    if (!ListFolder(Local(path), entries))
        return;
    for (const FolderEntry& entry : entries)
        if (!entry.isFolder)
            list.push_back(entry.name);
}

void LocalSourceControlBackend::GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list)
{
    list.clear();
    CollectFiles(Local(path), "", list);
}

void LocalSourceControlBackend::GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states)
{
    states.clear();
    std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    std::vector<std::string> names;
    GetFiles(prefix, names, 0, false, std::string());
    for (const std::string& name : names)
    {
        FolderFileState state;
        state.name = name.rfind(prefix, 0) == 0 && !prefix.empty() ? name.substr(prefix.size()) : name;
        state.statusResult = GetFileStatus(prefix + state.name, state.status);
        state.local = GetClientFileVersion(prefix + state.name);
        states.push_back(std::move(state));
    }
}

} // namespace mw
