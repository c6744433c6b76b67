// The calls that a source-control backend answers. SourceControlClient is a
// facade over one backend: the local folder alone, or a server.
#pragma once

#include "FileStatus.h"

#include <string>
#include <vector>

namespace mw {

class ManualResetEvent;
class SourceControlLog;

class ISourceControlBackend
{
public:
    virtual ~ISourceControlBackend() = default;

    virtual bool Connect(const std::string& database) = 0;
    virtual void Disconnect() = 0;
    virtual int PingServer() = 0;
    virtual void GetUserState(std::string& state) = 0;

    // Paths are relative to the client folder and use "/".
    virtual int GetFileStatus(const std::string& path, FileStatus& status) = 0;
    virtual int CheckOutFile(const std::string& path, bool lock) = 0;
    // message: the commit's text; empty for the backend's own.
    virtual bool CheckInFile(const std::string& path, const std::string& message) = 0;
    virtual bool RevertFile(const std::string& path) = 0;
    virtual bool AddFile(const std::string& path) = 0;
    // Adds every file below folder that is not under control yet, with the
    // folders that hold them, in one change. The number of files added, or
    // -1 when nothing could be added.
    virtual int AddFolder(const std::string& folder, const ManualResetEvent* cancel) = 0;
    // Marks a file in conflict resolved, keeping it as it is on disk.
    virtual bool ResolveFile(const std::string& path) = 0;
    // The files below folder ("" for all) that a sync left in conflict, as
    // paths relative to the client folder; the working copy alone answers.
    virtual void GetConflictedFiles(const std::string& folder, std::vector<std::string>& list) = 0;
    virtual int DeleteFile(const std::string& path) = 0;
    virtual int DeleteDirectory(const std::string& path) = 0;
    virtual int RenameFile(const std::string& oldPath, const std::string& newPath) = 0;
    virtual bool CreateDirectory(const std::string& path) = 0;
    virtual bool CreateAllDirectories(const std::string& path) = 0;
    virtual bool IsFileWriteable(const std::string& path) = 0;
    virtual bool IsRelativeFileUpToDate(const std::string& path) = 0;
    virtual FileVersion GetClientFileVersion(const std::string& path) = 0;
    virtual int SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel) = 0;

    virtual void GetFolders(const std::string& path, std::vector<std::string>& list) = 0;
    virtual void GetFiles(const std::string& path, std::vector<std::string>& list, int mode, bool onlyCheckedOut,
                          const std::string& userName) = 0;
    virtual void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list) = 0;
    // The files GetFiles lists directly in folder, each with its status and
    // local version, answered together (a file view's rows).
    virtual void GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states) = 0;

    // The facade hands these on whenever they change.
    virtual void SetClientDirectory(const std::string& folder) = 0;
    virtual void SetUserName(const std::string& userName) = 0;
    virtual void SetLog(SourceControlLog* log) = 0;
};

} // namespace mw
