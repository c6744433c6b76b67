// Source control without a server: works on the working folder alone. A file
// that exists is under control (never checked out, version 1); a missing
// file is not; adds, check-outs and check-ins succeed; deletes, renames and
// folder creation act on disk; lists walk the disk.
#pragma once

#include "ISourceControlBackend.h"

namespace mw {

class LocalSourceControlBackend : public ISourceControlBackend
{
public:
    bool Connect(const std::string& database) override;
    void Disconnect() override {}
    int PingServer() override { return 0; }
    void GetUserState(std::string& state) override { state.clear(); }

    int GetFileStatus(const std::string& path, FileStatus& status) override;
    int CheckOutFile(const std::string& path, bool lock) override;
    bool CheckInFile(const std::string& path, const std::string& message) override;
    bool RevertFile(const std::string& path) override;
    bool AddFile(const std::string& path) override;
    int AddFolder(const std::string& folder, const ManualResetEvent* cancel) override;
    // Nothing is ever in conflict without a server.
    bool ResolveFile(const std::string& path) override;
    void GetConflictedFiles(const std::string&, std::vector<std::string>& list) override { list.clear(); }
    int DeleteFile(const std::string& path) override;
    int DeleteDirectory(const std::string& path) override;
    int RenameFile(const std::string& oldPath, const std::string& newPath) override;
    bool CreateDirectory(const std::string& path) override;
    bool CreateAllDirectories(const std::string& path) override;
    bool IsFileWriteable(const std::string& path) override;
    bool IsRelativeFileUpToDate(const std::string& path) override;
    FileVersion GetClientFileVersion(const std::string& path) override;
    int SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel) override;

    void GetFolders(const std::string& path, std::vector<std::string>& list) override;
    void GetFiles(const std::string& path, std::vector<std::string>& list, int mode, bool onlyCheckedOut,
                  const std::string& userName) override;
    void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list) override;
    // Row by row, through the calls a derived backend may answer itself.
    void GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states) override;

    void SetClientDirectory(const std::string& folder) override { m_clientDirectory = folder; }
    void SetUserName(const std::string&) override {}
    void SetLog(SourceControlLog*) override {}

private:
    std::string Local(const std::string& path) const;

    std::string m_clientDirectory;
};

} // namespace mw
