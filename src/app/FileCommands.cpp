// File and folder commands of the tabs.
#include "FileCommands.h"

#include "CModwrightApp.h"
#include "context/IWorkspaceContext.h"
#include "dbtext/DbRecord.h"
#include "dbtext/DbTemplate.h"
#include "dbtools/CheckOutRule.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <cerrno>

namespace mw {
namespace {

void ShowError(IWorkspaceContext& context, const std::string& text)
{
    context.Prompt().Show(text, "", PromptButtons::Ok, PromptIcon::Error);
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

bool IsDatabaseDocument(const std::string& path)
{
    std::string extension = ToLowerAscii(Extension(path));
    return extension == "dbr" || extension == "tpl";
}

// Copies source (relative) into folder under the first free name. Returns
// the new relative path, or "" when the copy failed (errorNumber set).
std::string CopyUnderFreeName(IWorkspaceContext& context, const std::string& sourceFullPath,
                              const std::string& folder, int& errorNumber)
{
    std::string name = FileNameOf(sourceFullPath);
    for (int attempt = 0;; ++attempt)
    {
        std::string target = folder + CopyCandidateName(name, attempt);
        std::string targetFull = context.GetWorkingDir() + target;
        if (PathExists(targetFull))
            continue;
        EnsureFolders(context.GetWorkingDir() + folder);
        errno = 0;
        if (!CopyFileKeepTime(sourceFullPath, targetFull))
        {
            errorNumber = errno;
            return std::string();
        }
        MakeWritable(targetFull);
        return target;
    }
}

} // namespace

// Adds the earlier path to the history of the record or template at its new
// place, so that a reference update can find what still names the old path.
// A file that is read-only until checked out (network mode) is checked out
// for it and checked in again; one that another user holds is left alone.
bool RememberEarlierPath(IWorkspaceContext& context, const std::string& newPath, const std::string& earlierPath)
{
    std::string fullPath = context.GetWorkingDir() + newPath;
    std::string bytes;
    if (!ReadWholeFile(fullPath, bytes))
        return false;
    std::unique_ptr<DbDocument> document;
    if (ToLowerAscii(Extension(newPath)) == "tpl")
        document = std::make_unique<DbTemplate>();
    else
        document = std::make_unique<DbRecord>();
    if (!document->Read(bytes.data(), bytes.size()))
        return false;
    document->AddHistoryEntry(earlierPath);
    std::string text;
    if (!document->Write(text))
        return false;
    bool readOnly = false;
    bool checkedOut = false;
    if (GetReadOnly(fullPath, readOnly) && readOnly)
    {
        CheckOutResult checkOut = ApplyCheckOutRule(context, newPath);
        if (checkOut == CheckOutResult::Failed || checkOut == CheckOutResult::OtherUser)
            return false;
        checkedOut = checkOut == CheckOutResult::CheckedOut;
    }
    if (!WriteTextFileAtomic(fullPath, text))
    {
        if (checkedOut)
            context.SourceControl().RevertFile(newPath);
        return false;
    }
    return !checkedOut || context.SourceControl().CheckInFile(newPath);
}

bool CreateFolder(IWorkspaceContext& context, const std::string& parent, const std::string& name)
{
    bool valid = !name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." && name != "..";
    if (!valid || !context.SourceControl().CreateDirectoryA(parent + name + "/"))
    {
        ShowError(context, Format("Error creating folder %s.", name.c_str()));
        return false;
    }
    return true;
}

std::string RenameFolder(IWorkspaceContext& context, const std::string& folder, const std::string& newName)
{
    std::string old = folder.substr(0, folder.size() - (EndsWith(folder, "/") ? 1 : 0));
    std::string renamed = FolderOf(old) + newName;
    bool valid = !newName.empty() && newName.find_first_of("/\\") == std::string::npos && newName != "." &&
                 newName != "..";
    if (!valid || PathExists(context.GetWorkingDir() + renamed) ||
        context.SourceControl().RenameFile(old, renamed) != 0)
    {
        ShowError(context, Format("Couldn't rename %s to %s.", FileNameOf(old).c_str(), newName.c_str()));
        return std::string();
    }
    return renamed + "/";
}

bool RenameFile(IWorkspaceContext& context, const std::string& oldPath, const std::string& newName)
{
    if (newName.empty() || newName == FileNameOf(oldPath))
        return false;
    std::string newPath = FolderOf(oldPath) + newName;
    bool valid = newName.find_first_of("/\\") == std::string::npos;
    if (!valid || PathExists(context.GetWorkingDir() + newPath) ||
        context.SourceControl().RenameFile(oldPath, newPath) != 0)
    {
        ShowError(context, Format("Couldn't rename %s to %s.", FileNameOf(oldPath).c_str(), newName.c_str()));
        return false;
    }
    return true;
}

std::string CopyCandidateName(const std::string& name, int attempt)
{
    if (attempt == 0)
        return name;
    if (attempt == 1)
        return "Copy of " + name;
    return "Copy " + Format("(%d) ", attempt) + "of " + name;
}

std::vector<std::string> PasteFiles(IWorkspaceContext& context, const std::vector<std::string>& sources,
                                    const std::string& folder)
{
    SourceControlClient& sourceControl = context.SourceControl();
    std::vector<std::string> created;
    for (const std::string& source : sources)
    {
        if (!sourceControl.IsRelativeFileUpToDate(source))
        {
            std::string question =
                Format("Local version of file %s is out of date.  Copy it anyways?", source.c_str());
            if (context.Prompt().Show(question, "Confirm Copy", PromptButtons::YesNo, PromptIcon::Question) !=
                PromptAnswer::Yes)
                continue;
        }
        int errorNumber = 0;
        std::string target = CopyUnderFreeName(context, context.GetWorkingDir() + source, folder, errorNumber);
        if (target.empty())
        {
            ShowError(context, "Unknown Error Copying File.");
            continue;
        }
        if (IsDatabaseDocument(target))
            RememberEarlierPath(context, target, source);
        if (!sourceControl.AddFile(target))
            ShowError(context, "Error Adding File To Source Control.");
        created.push_back(target);
    }
    return created;
}

bool ChooseNewFileName(SourceControlClient& sourceControl, const std::string& folder, const std::string& kind,
                       const std::string& extension, std::string& path)
{
    for (int number = 1;; ++number)
    {
        std::string candidate =
            number == 1 ? Format("%sNew %s.%s", folder.c_str(), kind.c_str(), extension.c_str())
                        : Format("%sNew %s (%d).%s", folder.c_str(), kind.c_str(), number, extension.c_str());
        FileStatus status;
        int result = sourceControl.GetFileStatus(candidate, status);
        if (result == 1)
        {
            path = candidate;
            return true;
        }
        if (result != 0)
            return false;
    }
}

std::string NewEmptyFile(IWorkspaceContext& context, const std::string& folder, const std::string& kind,
                         const std::string& extension)
{
    std::string path;
    if (!ChooseNewFileName(context.SourceControl(), folder, kind, extension, path))
    {
        ShowError(context, "Couldn't create new file.");
        return std::string();
    }
    std::string fullPath = context.GetWorkingDir() + path;
    EnsureFolders(ParentPath(fullPath));
    if (PathExists(fullPath))
        MakeWritable(fullPath);
    if (!WriteFileAtomic(fullPath, ""))
    {
        ShowError(context, "Couldn't create new file.");
        return std::string();
    }
    if (!context.SourceControl().AddFile(path))
    {
        ShowError(context, "Couldn't add the file to source control.");
        return std::string();
    }
    return path;
}

std::string NewFileFromDefault(IWorkspaceContext& context, const std::string& folder, const DefaultFile& entry)
{
    std::string path;
    if (!ChooseNewFileName(context.SourceControl(), folder, entry.baseName, entry.extension, path))
    {
        ShowError(context, "Couldn't create new file.");
        return std::string();
    }
    std::string fullPath = context.GetWorkingDir() + path;
    EnsureFolders(ParentPath(fullPath));
    if (PathExists(fullPath))
        MakeWritable(fullPath);
    errno = 0;
    if (!OverwriteFileKeepTime(entry.path, fullPath))
    {
        ShowError(context, Format("Couldn't copy default file (Error %d)", errno));
        return std::string();
    }
    MakeWritable(fullPath);
    if (!context.SourceControl().AddFile(path))
    {
        ShowError(context, "Couldn't add the file to source control.");
        return std::string();
    }
    return path;
}

std::string ImportFile(IWorkspaceContext& context, const std::string& sourceFullPath, const std::string& folder,
                       bool databaseTab)
{
    int errorNumber = 0;
    std::string target = CopyUnderFreeName(context, sourceFullPath, folder, errorNumber);
    if (target.empty())
    {
        ShowError(context, databaseTab ? "Couldn't copy file." : "Unknown Error Copying File.");
        return std::string();
    }
    if (databaseTab && !context.SourceControl().AddFile(target))
        ShowError(context, "Couldn't add file to source control.");
    return target;
}

std::string MoveRecord(IWorkspaceContext& context, const std::string& path, const std::string& folder)
{
    std::string target = folder + FileNameOf(path);
    if (target == path)
        return std::string();
    if (PathExists(context.GetWorkingDir() + target))
    {
        ShowError(context, Format("Couldn't move %s: %s already exists.", path.c_str(), target.c_str()));
        return std::string();
    }
    EnsureFolders(context.GetWorkingDir() + folder);
    if (context.SourceControl().RenameFile(path, target) != 0)
    {
        ShowError(context, Format("Couldn't move %s to %s.", path.c_str(), folder.c_str()));
        return std::string();
    }
    if (IsDatabaseDocument(target) && !RememberEarlierPath(context, target, path))
        ShowError(context, Format("Couldn't note the earlier name in %s.", target.c_str()));
    return target;
}

bool CheckOutForEdit(IWorkspaceContext& context, const std::string& path, bool network)
{
    SourceControlClient& sourceControl = context.SourceControl();
    FileStatus status;
    if (sourceControl.GetFileStatus(path, status) == 0 && status.outToUser)
    {
        if (status.userName != sourceControl.GetUserName())
        {
            ShowError(context, Format("The file is currently checked out by %s.", status.userName.c_str()));
            return false;
        }
        return true;
    }
    if (network && context.Prompt().Show("Would you like to check out the file and edit it?", "",
                                         PromptButtons::YesNo, PromptIcon::Question) != PromptAnswer::Yes)
        return false;
    CheckOutResult result = ApplyCheckOutRule(context, path);
    if (result == CheckOutResult::Failed || result == CheckOutResult::OtherUser)
    {
        ShowError(context, "Error checking out file");
        return false;
    }
    return true;
}

void SyncFile(IWorkspaceContext& context, const std::string& path, bool force)
{
    if (context.SourceControl().SyncPath(&path, force, nullptr) != 0)
        ShowError(context, "Error synching file");
}

void SyncFolder(IWorkspaceContext& context, const std::string& folder, bool redo)
{
    if (redo && context.Prompt().Show("WARNING!  Any files you may have checked out in this folder will be "
                                      "overwritten with the version under source-control.  Proceed anyways?",
                                      "WARNING!", PromptButtons::YesNo, PromptIcon::Warning) != PromptAnswer::Yes)
        return;
    context.SourceControl().SyncPath(&folder, redo, nullptr);
}

void RevertOneFile(IWorkspaceContext& context, const std::string& path)
{
    if (!context.SourceControl().RevertFile(path))
        ShowError(context, "Error reverting file");
}

void CheckInOneFile(IWorkspaceContext& context, const std::string& path)
{
    if (!context.SourceControl().CheckInFile(path))
        ShowError(context, "Error checking in file");
}

void ResolveOneFile(IWorkspaceContext& context, const std::string& path)
{
    if (!context.SourceControl().ResolveFile(path))
        ShowError(context, "Error resolving file");
}

bool AnyInConflict(SourceControlClient& sourceControl, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
    {
        // Also a file the server no longer has may be in conflict.
        FileStatus status;
        sourceControl.GetFileStatus(path, status);
        if (status.conflicted)
            return true;
    }
    return false;
}

std::vector<std::string> FilesBelowFolder(SourceControlClient& sourceControl, const std::string& folder, bool onlyMine)
{
    std::vector<std::string> names;
    sourceControl.GetFiles(folder, names, 3, onlyMine, onlyMine ? sourceControl.GetUserName() : std::string());
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(name.rfind(folder, 0) == 0 ? name : folder + name);
    return paths;
}

namespace {

bool HeldByUser(SourceControlClient& sourceControl, const std::string& path)
{
    FileStatus status;
    return sourceControl.GetFileStatus(path, status) == 0 && status.outToUser &&
           status.userName == sourceControl.GetUserName();
}

} // namespace

bool AnyHeldByUser(SourceControlClient& sourceControl, const std::vector<std::string>& paths)
{
    for (const std::string& path : paths)
        if (HeldByUser(sourceControl, path))
            return true;
    return false;
}

std::vector<std::string> PathsHeldByUser(SourceControlClient& sourceControl, const std::vector<std::string>& paths)
{
    std::vector<std::string> held;
    for (const std::string& path : paths)
        if (HeldByUser(sourceControl, path))
            held.push_back(path);
    return held;
}

FileProperties ReadFileProperties(SourceControlClient& sourceControl, const std::string& path)
{
    FileProperties properties;
    properties.localPath = sourceControl.GetClientDirectory() + path;
    FileStatus status;
    if (sourceControl.GetFileStatus(path, status) == 0)
    {
        properties.serverVersion = Format("%d", status.serverVersion);
        properties.serverChecksum = Format("0x%X", status.serverChecksum);
    }
    else
    {
        properties.serverVersion = "Unknown";
        properties.serverChecksum = "Unknown";
    }
    FileVersion local = sourceControl.GetClientFileVersion(path);
    properties.localVersion = Format("%d", local.version);
    properties.localChecksum = Format("0x%X", local.checksum);
    return properties;
}

namespace {

FileRowStatus RowStatusOf(int statusCode, const FileStatus& status, const FileVersion& local, const std::string& user)
{
    FileRowStatus row;
    row.conflicted = status.conflicted;
    if (statusCode != 0)
    {
        row.image = 3;
        return row;
    }
    row.localVersion = local.version;
    row.serverVersion = status.serverVersion;
    if (local.version == 0)
        row.image = 2;
    else if (local.checksum != status.serverChecksum)
        row.image = 1;
    else if (local.version == status.serverVersion)
        row.image = 0;
    else if (local.version < status.serverVersion)
        row.image = 1;
    else
        row.image = 4;
    if (status.outToUser)
    {
        row.stateMark = status.userName == user ? 1 : 2;
        row.holder = status.userName;
    }
    return row;
}

} // namespace

FileRowStatus ReadFileRowStatus(SourceControlClient& sourceControl, const std::string& path)
{
    FileStatus status;
    int statusCode = sourceControl.GetFileStatus(path, status);
    // The local version is asked only when the status was read, as the rows always did.
    FileVersion local = statusCode == 0 ? sourceControl.GetClientFileVersion(path) : FileVersion();
    return RowStatusOf(statusCode, status, local, sourceControl.GetUserName());
}

std::vector<FileRow> ReadFolderRows(SourceControlClient& sourceControl, const std::string& folder)
{
    std::vector<FolderFileState> states;
    sourceControl.GetFolderFileStates(folder, states);
    std::vector<FileRow> rows;
    rows.reserve(states.size());
    for (const FolderFileState& state : states)
        rows.push_back(FileRow{state.name, RowStatusOf(state.statusResult, state.status, state.local,
                                                       sourceControl.GetUserName())});
    return rows;
}

const char* FileRowStateText(const FileRowStatus& row)
{
    if (row.conflicted)
        return "conflict";
    switch (row.image)
    {
    case 0:
        return "up to date";
    case 1:
        return "differs";
    case 2:
        return "no local copy";
    case 4:
        return "newer";
    default:
        break;
    }
    return "no status";
}

} // namespace mw
