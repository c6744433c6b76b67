// The source-control client the application holds: connection, user, client
// folder and log, with every file and list call passed to its backend. Paths
// are relative to the client folder and use "/".
#pragma once

#include "FileStatus.h"
#include "ISourceControlBackend.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mw {

class ManualResetEvent;
class SourceControlLog;

class SourceControlClient
{
public:
    // Makes the backend that serves a network database; null when none can.
    using NetworkBackendFactory = std::function<std::unique_ptr<ISourceControlBackend>(const std::string& database)>;

    SourceControlClient();
    ~SourceControlClient();

    // Uses this backend from now on (tests hand in doubles).
    void SetBackend(std::unique_ptr<ISourceControlBackend> backend);
    void SetNetworkBackendFactory(NetworkBackendFactory factory) { m_networkFactory = std::move(factory); }

    // Connects to a network database; true on success.
    bool Connect(const std::string& database);
    void Disconnect();
    void SetUserName(const std::string& userName);
    const std::string& GetUserName() const { return m_userName; }
    void SetClientDirectory(const std::string& folder);
    const std::string& GetClientDirectory() const { return m_clientDirectory; }
    void SetLog(SourceControlLog* log);
    SourceControlLog* GetLog() const { return m_log; }
    int PingServer();
    void GetUserState(std::string& state);

    int GetFileStatus(const std::string& path, FileStatus& status);
    int CheckOutFile(const std::string& path, bool lock);
    bool CheckInFile(const std::string& path);
    // With the commit's text (empty: the backend's own).
    bool CheckInFile(const std::string& path, const std::string& message);
    bool RevertFile(const std::string& path);
    bool AddFile(const std::string& path);
    // Every file below folder not under control yet, in one change; the
    // number added, or -1 on failure.
    int AddFolder(const std::string& folder, const ManualResetEvent* cancel);
    // Marks a file in conflict resolved, keeping the file as it is on disk.
    bool ResolveFile(const std::string& path);
    // Files below folder ("" for all) left in conflict, relative to the
    // client folder; asks the working copy only, so it is cheap.
    void GetConflictedFiles(const std::string& folder, std::vector<std::string>& list);
    int DeleteFileA(const std::string& path);
    int DeleteDirectory(const std::string& path);
    int RenameFile(const std::string& oldPath, const std::string& newPath);
    bool CreateDirectoryA(const std::string& path);
    bool CreateAllDirectories(const std::string& path);
    bool IsFileWriteable(const std::string& path);
    bool IsRelativeFileUpToDate(const std::string& path);
    FileVersion GetClientFileVersion(const std::string& path);
    // No path: the whole client folder.
    int SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel);

    void GetFolders(const std::string& path, std::vector<std::string>& list);
    void GetFoldersFast(const std::string& path, std::vector<std::string>& list);
    void GetFiles(const std::string& path, std::vector<std::string>& list, int mode, bool onlyCheckedOut,
                  const std::string& userName);
    void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list);
    // The files of a folder with their status and local version, in one go.
    void GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states);

private:
    std::unique_ptr<ISourceControlBackend> m_backend;
    NetworkBackendFactory m_networkFactory;
    std::string m_userName;
    std::string m_clientDirectory;
    SourceControlLog* m_log = nullptr;
};

} // namespace mw
