// Source control on a Subversion server. The database is a repository URL,
// the user name the Subversion user and the client folder a working copy of
// the repository. A check-out is an exclusive lock, a check-in a commit that
// releases it; files carry svn:needs-lock, so they stay read-only until they
// are checked out.
#pragma once

#include "ISourceControlBackend.h"
#include "SubversionOptions.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mw {

class SubversionSession;
class SubversionStatusCache;
struct SubversionEntry;

class SubversionBackend final : public ISourceControlBackend
{
public:
    // GetFileStatus: the status could not be read (the server did not answer).
    static constexpr int kNoStatus = -1;
    // CheckOutFile's error codes besides 0 (taken) and 2 (already held).
    static constexpr int kHeldByOtherUser = 3;
    static constexpr int kOutOfDate = 4;
    static constexpr int kNotUnderControl = 5;
    static constexpr int kServerError = 6;

    explicit SubversionBackend(SubversionOptions options = SubversionOptions());
    ~SubversionBackend() override;

    bool Connect(const std::string& database) override;
    void Disconnect() override;
    int PingServer() override;
    void GetUserState(std::string& state) override;

    int GetFileStatus(const std::string& path, FileStatus& status) override;
    // Every check-out takes the exclusive lock, whatever lock says.
    int CheckOutFile(const std::string& path, bool lock) override;
    bool CheckInFile(const std::string& path, const std::string& message) override;
    bool RevertFile(const std::string& path) override;
    bool AddFile(const std::string& path) override;
    int AddFolder(const std::string& folder, const ManualResetEvent* cancel) override;
    bool ResolveFile(const std::string& path) override;
    void GetConflictedFiles(const std::string& folder, std::vector<std::string>& list) override;
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
    // mode 3 lists every file below path (relative to it), other modes the
    // files directly in it; with onlyCheckedOut only those userName holds.
    void GetFiles(const std::string& path, std::vector<std::string>& list, int mode, bool onlyCheckedOut,
                  const std::string& userName) override;
    void GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list) override;
    // One listing of the folder answers every row.
    void GetFolderFileStates(const std::string& folder, std::vector<FolderFileState>& states) override;

    void SetClientDirectory(const std::string& folder) override;
    void SetUserName(const std::string& userName) override;
    void SetLog(SourceControlLog* log) override;

private:
    struct KnownChecksum
    {
        uint64_t size = 0;
        uint64_t lastWrite = 0;
        unsigned checksum = 0;
    };

    // A path of the interface: as relative path in the working copy's own
    // letter case, and as absolute local path.
    struct Target
    {
        std::string relative;
        std::string local;
    };

    // Connected, and (when needed) a working folder set; logs why not.
    bool Ready(bool needsWorkingCopy = true);
    Target Resolve(const std::string& path);
    SubversionStatusCache& Cache();
    // Logs a failure; the same text again within a few seconds is not repeated.
    void Fail(const std::string& text);
    bool FreshEntry(const Target& target, SubversionEntry& entry);
    // GetFileStatus's answer from what the folder's listing knows of the file.
    int StatusOfEntry(const Target& target, const SubversionEntry& entry, FileStatus& status);
    // Commits paths (with the new folders above them) and releases their locks.
    // Without withNewParents the caller names the new folders itself.
    bool Commit(const std::vector<std::string>& locals, bool recursive, const std::string& message,
                bool withNewParents = true, const ManualResetEvent* cancel = nullptr);
    bool ReleaseLockIfHeld(const Target& target);
    bool BelongsToOtherRepository(const std::string& url) const;
    // Checks the repository out into the working folder (existing false) or
    // updates local (reverted first when force); 0 on success.
    int UpdateWorkingCopy(bool existing, const std::string& local, bool force, const ManualResetEvent* cancel);
    int RemoveOnServer(const std::string& path, bool folder);
    bool MakeFolders(const std::string& path, bool parents);
    // The checksum of a local file, remembered while its size and time stay.
    bool LocalChecksum(const std::string& local, unsigned& checksum);
    void ListServerFiles(const Target& folder, bool recursive, bool onlyHeldBy, const std::string& holder,
                         std::vector<std::string>& list);

    SubversionOptions m_options;
    std::unique_ptr<SubversionSession> m_session;
    std::unique_ptr<SubversionStatusCache> m_cache;
    std::string m_cacheRoot;
    std::string m_clientDirectory;
    std::string m_root; // the working copy's absolute folder, without a trailing "/"
    std::string m_userName;
    SourceControlLog* m_log = nullptr;
    bool m_connected = false;
    std::map<std::string, KnownChecksum> m_localChecksums;
    std::string m_lastFailure;
    uint64_t m_lastFailureMs = 0;
};

} // namespace mw
