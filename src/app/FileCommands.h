// The file and folder commands of the three tabs: what each asks, which
// source-control calls it makes and which messages it shows. Paths are
// relative to the working folder and use "/"; folders end in "/". The
// window gathers the selection and calls these.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;
class SourceControlClient;
struct DefaultFile;

// Creates parent + name + "/"; true on success ("Error creating folder %s." otherwise).
bool CreateFolder(IWorkspaceContext& context, const std::string& parent, const std::string& name);
// Renames a folder (ending in "/") within its parent; the new folder's path, or "" on failure (reported).
std::string RenameFolder(IWorkspaceContext& context, const std::string& folder, const std::string& newName);
// Renames a file within its folder; true on success.
bool RenameFile(IWorkspaceContext& context, const std::string& oldPath, const std::string& newName);

// The names a pasted file tries in turn: the name, "Copy of " + name, then
// "Copy (2) of " + name, "Copy (3) of " + name, ...
std::string CopyCandidateName(const std::string& name, int attempt);

// Copies each file into the folder under the first free name, the copy made
// writable and added to source control; records and templates remember the
// path they were copied from. The paths created.
std::vector<std::string> PasteFiles(IWorkspaceContext& context, const std::vector<std::string>& sources,
                                    const std::string& folder);

// The first name "%sNew %s.%s" / "%sNew %s (%d).%s" that source control does
// not know (status 1); false when a status other than 0 or 1 stops the search.
bool ChooseNewFileName(SourceControlClient& sourceControl, const std::string& folder, const std::string& kind,
                       const std::string& extension, std::string& path);
// New Record ("Record", "dbr") or New Template ("Template", "tpl"): an empty
// file under the first free name, added to source control. The path, or ""
// on failure (reported).
std::string NewEmptyFile(IWorkspaceContext& context, const std::string& folder, const std::string& kind,
                         const std::string& extension);
// A new source file copied from an entry of the defaults table.
std::string NewFileFromDefault(IWorkspaceContext& context, const std::string& folder, const DefaultFile& entry);
// Copies a file from anywhere into the folder under its own name (never over
// an existing file). The Database tab also adds it to source control.
std::string ImportFile(IWorkspaceContext& context, const std::string& sourceFullPath, const std::string& folder,
                       bool databaseTab);
// Moves a record or template into another folder; the moved file keeps its
// old path in its file-name history. The new path, or "" on failure (reported).
std::string MoveRecord(IWorkspaceContext& context, const std::string& path, const std::string& folder);

// Adds the earlier path (relative to the working folder) to the file-name
// history of the record or template now at newPath.
bool RememberEarlierPath(IWorkspaceContext& context, const std::string& newPath, const std::string& earlierPath);

// Check Out and Edit: true when the file may be opened in its editor.
bool CheckOutForEdit(IWorkspaceContext& context, const std::string& path, bool network);

// Single-file source-control commands of the file list, with their messages.
// Redo Sync forces the server's version over the local copy.
void SyncFile(IWorkspaceContext& context, const std::string& path, bool force);
void SyncFolder(IWorkspaceContext& context, const std::string& folder, bool redo);
void RevertOneFile(IWorkspaceContext& context, const std::string& path);
void CheckInOneFile(IWorkspaceContext& context, const std::string& path);
// Resolve: the file's conflict is marked resolved and the file kept as it is
// on disk (the user's merge); "Error resolving file" when that fails.
void ResolveOneFile(IWorkspaceContext& context, const std::string& path);
// Whether Resolve applies: a selected file that a sync left in conflict.
bool AnyInConflict(SourceControlClient& sourceControl, const std::vector<std::string>& paths);

// The files a folder command works on: Check Out takes every file below the
// folder, Check In and Undo Check Out those that this user holds.
std::vector<std::string> FilesBelowFolder(SourceControlClient& sourceControl, const std::string& folder,
                                          bool onlyMine);
// Whether Check In and Undo Check Out apply: a selected file held by this user.
bool AnyHeldByUser(SourceControlClient& sourceControl, const std::vector<std::string>& paths);
// The paths among these that this user holds checked out: what Check In and
// Undo Check Out act on, however they are started.
std::vector<std::string> PathsHeldByUser(SourceControlClient& sourceControl, const std::vector<std::string>& paths);

// The Properties dialog's texts.
struct FileProperties
{
    std::string localPath;
    std::string serverVersion;   // "%d", or "Unknown"
    std::string serverChecksum;  // "0x%X", or "Unknown"
    std::string localVersion;
    std::string localChecksum;
};
FileProperties ReadFileProperties(SourceControlClient& sourceControl, const std::string& path);

// The status image of a file list row (0 up to date, 1 differs, 2 no local
// copy, 3 no status, 4 otherwise) and its state mark (0 none, 1 held by this
// user, 2 held by another) with the holder's name.
struct FileRowStatus
{
    int image = 3;
    int stateMark = 0;
    std::string holder;
    bool conflicted = false; // a sync left the local copy in conflict
    int localVersion = 0;
    int serverVersion = 0;
};
FileRowStatus ReadFileRowStatus(SourceControlClient& sourceControl, const std::string& path);
// The rows of a folder's file list (names below the folder, in list order)
// from one question to source control.
struct FileRow
{
    std::string name;
    FileRowStatus status;
};
std::vector<FileRow> ReadFolderRows(SourceControlClient& sourceControl, const std::string& folder);
// The row's state in words: "conflict", "up to date", "differs", "no local
// copy", "no status" or "newer".
const char* FileRowStateText(const FileRowStatus& row);

} // namespace mw
