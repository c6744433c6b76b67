// The Subversion backend: every call of the interface on a working copy and
// its repository, through libsvn_client with one open client context.
#include "SubversionBackend.h"

#include "../Clock.h"
#include "../FileSystem.h"
#include "../KnownFolders.h"
#include "../ManualResetEvent.h"
#include "../PathRules.h"
#include "SourceControlLog.h"
#include "SubversionSession.h"
#include "SubversionStatusCache.h"
#include "SubversionWorkingCopy.h"

#include <svn_dirent_uri.h>
#include <svn_props.h>
#include <svn_ra.h>
#include <svn_wc.h>

#include <algorithm>
#include <chrono>
#include <map>

namespace mw {
namespace {

// A failure text already logged is not repeated within this time, so that a
// view asking for hundreds of rows while the server is away logs it once.
constexpr uint64_t kRepeatedFailureQuietMs = 5000;
// Two seconds in FILETIME units (100 ns).
constexpr uint64_t kSettledFileTime = 2ull * 10000000ull;

uint64_t NowAsFileTime()
{
    auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    uint64_t ticks = uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(sinceEpoch).count() / 100);
    return ticks + 116444736000000000ull; // 1601-01-01 to 1970-01-01
}

std::string TrimSlashes(std::string path)
{
    while (!path.empty() && path.front() == '/')
        path.erase(path.begin());
    while (!path.empty() && path.back() == '/')
        path.pop_back();
    return path;
}

std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The working copy is locked, or has unfinished work, because an earlier
// operation on it ended midway.
bool LeftLockedByInterruption(svn_error_t* err)
{
    for (svn_error_t* it = err; it; it = it->child)
        if (it->apr_err == SVN_ERR_WC_LOCKED || it->apr_err == SVN_ERR_WC_CLEANUP_REQUIRED)
            return true;
    return false;
}

struct WorkingFilesBaton
{
    std::string folder; // absolute, without a trailing "/"
    std::vector<std::string>* list;
};

svn_error_t* OnWorkingFile(void* baton, const char* absolutePath, const svn_client_status_t* status, apr_pool_t*)
{
    auto* files = static_cast<WorkingFilesBaton*>(baton);
    std::string path = absolutePath;
    if (!status->versioned || status->kind != svn_node_file || status->node_status == svn_wc_status_deleted ||
        status->node_status == svn_wc_status_missing || path.size() <= files->folder.size())
        return SVN_NO_ERROR;
    files->list->push_back(path.substr(files->folder.size() + 1));
    return SVN_NO_ERROR;
}

struct FileListBaton
{
    bool onlyHeldBy = false;
    std::string holder;
    std::vector<std::string>* list;
};

svn_error_t* OnFileListed(void* baton, const char* path, const svn_dirent_t* dirent, const svn_lock_t* lock,
                          const char*, const char*, const char*, apr_pool_t*)
{
    auto* files = static_cast<FileListBaton*>(baton);
    if (dirent->kind != svn_node_file || !*path)
        return SVN_NO_ERROR;
    if (files->onlyHeldBy && !(lock && lock->owner && files->holder == lock->owner))
        return SVN_NO_ERROR;
    files->list->push_back(path);
    return SVN_NO_ERROR;
}

} // namespace

SubversionBackend::SubversionBackend(SubversionOptions options) : m_options(std::move(options)) {}

SubversionBackend::~SubversionBackend()
{
    m_cache.reset();
    m_session.reset();
}

void SubversionBackend::SetLog(SourceControlLog* log)
{
    m_log = log;
    if (m_session)
        m_session->SetLog(log);
}

void SubversionBackend::SetUserName(const std::string& userName)
{
    if (userName == m_userName)
        return;
    m_userName = userName;
    // Later calls authenticate as the new user.
    if (m_session)
        m_session->SetUserName(userName);
}

void SubversionBackend::SetClientDirectory(const std::string& folder)
{
    m_clientDirectory = folder;
    m_root.clear();
    if (folder.empty())
        return;
    std::string resolved = ToForwardSlashes(ResolvePath(folder));
    while (resolved.size() > 1 && resolved.back() == '/')
        resolved.pop_back();
    if (resolved.empty() || resolved.front() != '/')
        resolved = ToForwardSlashes(WithTrailingSeparator(CurrentFolder())) + resolved;
    m_root = resolved;
    if (m_session)
        m_session->SetDisplayRoot(m_root);
}

bool SubversionBackend::Connect(const std::string& database)
{
    m_connected = false;
    m_cache.reset();
    m_session = std::make_unique<SubversionSession>(m_options);
    m_session->SetLog(m_log);
    m_session->SetDisplayRoot(m_root);
    std::string reason;
    if (!m_session->Open(database, m_userName, reason))
    {
        Fail("Couldn't connect to " + database + ": " + reason);
        return false;
    }
    // Opening a session makes the server check the credentials; asking for
    // the latest revision proves that the repository answers.
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection);
    svn_ra_session_t* ra = nullptr;
    svn_revnum_t latest = 0;
    svn_error_t* err = nullptr;
    if (call.Reachable())
    {
        err = svn_client_open_ra_session2(&ra, m_session->Url().c_str(), nullptr, m_session->Context(), call.Pool(),
                                          call.Pool());
        if (!err)
            err = svn_ra_get_latest_revnum(ra, &latest, call.Pool());
    }
    if (!call.Check(err))
    {
        Fail("Couldn't connect to " + database + " as " + m_userName + ": " + call.Error());
        return false;
    }
    m_connected = true;
    return true;
}

void SubversionBackend::Disconnect()
{
    m_connected = false;
    m_cache.reset();
    m_session.reset();
}

void SubversionBackend::Fail(const std::string& text)
{
    uint64_t now = TickCountMs();
    if (text == m_lastFailure && now - m_lastFailureMs < kRepeatedFailureQuietMs)
        return;
    m_lastFailure = text;
    m_lastFailureMs = now;
    if (m_log)
        m_log->Log(text, true, true);
}

bool SubversionBackend::Ready(bool needsWorkingCopy)
{
    if (!m_connected || !m_session)
    {
        Fail("Not connected to the source-control server");
        return false;
    }
    if (needsWorkingCopy && m_root.empty())
    {
        Fail("No working folder is set for source control");
        return false;
    }
    return true;
}

SubversionBackend::Target SubversionBackend::Resolve(const std::string& path)
{
    Target target;
    target.relative = TrimSlashes(ToForwardSlashes(path));
    target.local = target.relative.empty() ? m_root : m_root + "/" + target.relative;
    // The tool names files in any letter case; the repository knows one. The
    // working copy's names come first; what it lacks, the server's listing
    // of the folder gives.
    std::string resolved = ToForwardSlashes(ResolvePath(target.local));
    while (resolved.size() > 1 && resolved.back() == '/')
        resolved.pop_back();
    if (resolved.size() > m_root.size() && resolved.compare(0, m_root.size() + 1, m_root + "/") == 0)
        target.relative = resolved.substr(m_root.size() + 1);
    if (m_connected && !target.relative.empty() && !PathExists(m_root + "/" + target.relative))
    {
        std::string folder;
        std::string error;
        std::map<std::string, SubversionEntry> children;
        for (const std::string& part : SplitText(target.relative, '/'))
        {
            std::string name = part;
            std::string written = folder.empty() ? part : folder + "/" + part;
            if (!PathExists(m_root + "/" + written) && Cache().Children(folder, children, error) &&
                !children.count(written))
            {
                for (const auto& [child, entry] : children)
                    if (entry.onServer && EqualsNoCase(NameOf(child), part))
                        name = NameOf(child);
            }
            folder = folder.empty() ? name : folder + "/" + name;
        }
        target.relative = folder;
    }
    target.local = target.relative.empty() ? m_root : m_root + "/" + target.relative;
    return target;
}

SubversionStatusCache& SubversionBackend::Cache()
{
    if (!m_cache || m_cacheRoot != m_root)
    {
        m_cache = std::make_unique<SubversionStatusCache>(*m_session, m_root);
        m_cacheRoot = m_root;
    }
    return *m_cache;
}

bool SubversionBackend::FreshEntry(const Target& target, SubversionEntry& entry)
{
    Cache().Forget(target.relative);
    std::string error;
    if (!Cache().Entry(target.relative, entry, error))
    {
        Fail("Couldn't get the status of " + target.relative + ": " + error);
        return false;
    }
    return true;
}

int SubversionBackend::PingServer()
{
    if (!Ready(false))
        return -1;
    // One request on the kept connection: the round trip alone.
    SubversionSession::Call call(*m_session, SubversionSession::Reach::KeptConnection);
    svn_error_t* err = nullptr;
    svn_ra_session_t* connection = call.Reachable() ? m_session->Connection(&err, call.Pool()) : nullptr;
    svn_revnum_t latest = 0;
    auto start = std::chrono::steady_clock::now();
    if (connection)
        err = svn_ra_get_latest_revnum(connection, &latest, call.Pool());
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (!call.Check(err))
    {
        Fail("Couldn't reach the server: " + call.Error());
        return -1;
    }
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void SubversionBackend::GetUserState(std::string& state)
{
    state.clear();
    if (!Ready(false))
        return;
    SubversionSession::Call call(*m_session, SubversionSession::Reach::KeptConnection);
    svn_error_t* err = nullptr;
    svn_ra_session_t* connection = call.Reachable() ? m_session->Connection(&err, call.Pool()) : nullptr;
    apr_hash_t* locks = nullptr;
    if (connection)
        err = svn_ra_get_locks2(connection, &locks, "", svn_depth_infinity, call.Pool());
    if (!call.Check(err))
    {
        Fail("Couldn't ask the server who holds which files: " + call.Error());
        return;
    }
    // Lock paths are the repository's own; shown relative to the database URL.
    std::string prefix = m_session->RepositoryPath();
    if (prefix.back() != '/')
        prefix += '/';
    std::map<std::string, std::vector<std::string>> held;
    held[m_userName];
    for (apr_hash_index_t* it = apr_hash_first(call.Pool(), locks); it; it = apr_hash_next(it))
    {
        const svn_lock_t* lock = static_cast<const svn_lock_t*>(apr_hash_this_val(it));
        std::string path = lock->path ? lock->path : "";
        if (path.compare(0, prefix.size(), prefix) != 0)
            continue;
        path = path.substr(prefix.size());
        held[lock->owner ? lock->owner : ""].push_back(path);
    }
    for (auto& [user, paths] : held)
    {
        std::sort(paths.begin(), paths.end());
        std::string text;
        if (paths.empty())
            text = "No files checked out";
        else
        {
            text = Format("%d file(s) checked out:", int(paths.size()));
            for (const std::string& path : paths)
                text += " " + path;
        }
        state += user + "\n" + text + "\n";
    }
}

int SubversionBackend::GetFileStatus(const std::string& path, FileStatus& status)
{
    status = FileStatus();
    if (!Ready())
        return kNoStatus;
    Target target = Resolve(path);
    SubversionEntry entry;
    std::string error;
    if (!Cache().Entry(target.relative, entry, error))
    {
        Fail("Couldn't get the status of " + target.relative + ": " + error);
        return kNoStatus;
    }
    return StatusOfEntry(target, entry, status);
}

int SubversionBackend::StatusOfEntry(const Target& target, const SubversionEntry& entry, FileStatus& status)
{
    if (!entry.onServer)
    {
        // Unknown only when neither the server nor the working copy has it;
        // a file another user deleted is still known, at version 0.
        status.conflicted = entry.conflicted;
        return entry.inWorkingCopy && !entry.scheduledAdd ? 0 : 1;
    }
    status.conflicted = entry.conflicted;
    status.outToUser = !entry.lockOwner.empty();
    status.userName = entry.lockOwner;
    status.serverVersion = int(entry.serverRevision);
    if (entry.serverIsFolder)
        return 0;
    // An unchanged local copy of the server's version has the server's text.
    if (entry.inWorkingCopy && !entry.locallyModified && entry.workingRevision == entry.serverRevision &&
        LocalChecksum(target.local, status.serverChecksum))
        return 0;
    std::string error;
    if (!Cache().ServerChecksum(target.relative, entry.serverRevision, status.serverChecksum, error))
    {
        Fail("Couldn't read " + target.relative + " from the server: " + error);
        return kNoStatus;
    }
    return 0;
}

int SubversionBackend::CheckOutFile(const std::string& path, bool)
{
    if (!Ready())
        return kServerError;
    Target target = Resolve(path);
    SubversionEntry entry;
    if (!FreshEntry(target, entry))
        return kServerError;
    if (!entry.inWorkingCopy || entry.scheduledAdd)
    {
        if (entry.onServer)
        {
            Fail("File " + target.relative + " is not in the working copy yet; sync it before checking it out");
            return kOutOfDate;
        }
        Fail("File " + target.relative + " is not under source control");
        return kNotUnderControl;
    }
    if (!entry.lockOwner.empty())
    {
        if (entry.lockOwner == m_userName && entry.holdsLockToken)
            return 2;
        if (entry.lockOwner == m_userName)
            Fail("File " + target.relative + " is checked out by " + entry.lockOwner + " in another working copy");
        else
            Fail("File " + target.relative + " is checked out by " + entry.lockOwner);
        return kHeldByOtherUser;
    }
    if (entry.onServer && entry.workingRevision != entry.serverRevision)
    {
        Fail("File " + target.relative + " is out of date; sync it before checking it out");
        return kOutOfDate;
    }
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection);
    svn_error_t* err = nullptr;
    if (call.Reachable())
        err = svn_client_lock(PathArray({target.local}, call.Pool()), "", FALSE, m_session->Context(), call.Pool());
    Cache().Forget(target.relative);
    if (!call.Check(err))
    {
        Fail("Couldn't check out " + target.relative + ": " + call.Error());
        return kServerError;
    }
    if (!call.ItemFailures().empty())
    {
        const ItemFailure& failure = call.ItemFailures().front();
        Fail("Couldn't check out " + target.relative + ": " + failure.text);
        if (failure.code == SVN_ERR_FS_PATH_ALREADY_LOCKED)
            return kHeldByOtherUser;
        if (failure.code == SVN_ERR_FS_OUT_OF_DATE)
            return kOutOfDate;
        return kServerError;
    }
    return 0;
}

bool SubversionBackend::Commit(const std::vector<std::string>& locals, bool recursive, const std::string& message,
                               bool withNewParents, const ManualResetEvent* cancel)
{
    // New folders above a new path must go with it.
    std::vector<std::string> targets = locals;
    for (const std::string& local : withNewParents ? locals : std::vector<std::string>())
    {
        for (std::string parent = ParentOf(local); parent.size() > m_root.size(); parent = ParentOf(parent))
        {
            if (!ReadLocalNode(*m_session, parent).scheduledAdd)
                break;
            if (std::find(targets.begin(), targets.end(), parent) == targets.end())
                targets.push_back(parent);
        }
    }
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection, cancel);
    m_session->SetCommitMessage(message);
    svn_error_t* err = nullptr;
    if (call.Reachable())
    {
        // A recursive commit takes new parent folders whole: they hold nothing
        // else new unless this client put it there.
        apr_array_header_t* paths = PathArray(targets, call.Pool());
        err = svn_client_commit6(paths, recursive ? svn_depth_infinity : svn_depth_empty, FALSE, FALSE, TRUE, FALSE,
                                 FALSE, nullptr, nullptr, &SubversionSession::OnCommitted, m_session.get(),
                                 m_session->Context(), call.Pool());
    }
    if (!call.Check(err))
    {
        Fail(message + " failed: " + call.Error());
        return false;
    }
    return true;
}

bool SubversionBackend::ReleaseLockIfHeld(const Target& target)
{
    if (!ReadLocalNode(*m_session, target.local).holdsLockToken)
        return true;
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection);
    svn_error_t* err = nullptr;
    if (call.Reachable())
        err = svn_client_unlock(PathArray({target.local}, call.Pool()), FALSE, m_session->Context(), call.Pool());
    if (!call.Check(err))
    {
        Fail("Couldn't release " + target.relative + ": " + call.Error());
        return false;
    }
    if (!call.ItemFailures().empty())
    {
        Fail("Couldn't release " + target.relative + ": " + call.ItemFailures().front().text);
        return false;
    }
    return true;
}

bool SubversionBackend::CheckInFile(const std::string& path, const std::string& message)
{
    if (!Ready())
        return false;
    Target target = Resolve(path);
    LocalNode node = ReadLocalNode(*m_session, target.local);
    if (!node.versioned)
    {
        Fail("File " + target.relative + " is not under source control");
        return false;
    }
    if (node.conflicted)
    {
        Fail("File " + target.relative + " is in conflict: merge the changes into it, then resolve it before checking it in");
        return false;
    }
    Cache().Forget(target.relative);
    // A commit of an unchanged file succeeds without a word and keeps the
    // lock, so the lock is released on its own afterwards.
    bool ok = Commit({target.local}, false, message.empty() ? "Check in " + target.relative : message) &&
              ReleaseLockIfHeld(target);
    Cache().Forget(target.relative);
    return ok;
}

bool SubversionBackend::RevertFile(const std::string& path)
{
    if (!Ready())
        return false;
    Target target = Resolve(path);
    Cache().Forget(target.relative);
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_revert4(PathArray({target.local}, call.Pool()), svn_depth_empty, nullptr, FALSE,
                                              FALSE, TRUE, m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't undo the check-out of " + target.relative + ": " + call.Error());
            return false;
        }
    }
    return ReleaseLockIfHeld(target);
}

bool SubversionBackend::IsFileWriteable(const std::string& path)
{
    bool readOnly = true;
    Target target = m_root.empty() ? Target{path, path} : Resolve(path);
    return GetReadOnly(target.local, readOnly) && !readOnly;
}

bool SubversionBackend::IsRelativeFileUpToDate(const std::string& path)
{
    if (!Ready())
        return false;
    Target target = Resolve(path);
    SubversionEntry entry;
    std::string error;
    if (!Cache().Entry(target.relative, entry, error))
    {
        Fail("Couldn't get the status of " + target.relative + ": " + error);
        return false;
    }
    if (!entry.onServer)
        return !entry.inWorkingCopy || entry.scheduledAdd;
    return entry.inWorkingCopy && entry.workingRevision == entry.serverRevision;
}

FileVersion SubversionBackend::GetClientFileVersion(const std::string& path)
{
    FileVersion version;
    if (m_root.empty())
        return version;
    Target target = Resolve(path);
    if (!LocalChecksum(target.local, version.checksum))
        return version;
    if (!m_session || !m_session->IsOpen())
        return version;
    // A view asks this right after the row's status: the folder's listing
    // read the working copy's side already.
    SubversionEntry entry;
    if (m_connected && Cache().CachedEntry(target.relative, entry))
        version.version = entry.inWorkingCopy && !entry.scheduledAdd ? int(entry.workingRevision) : 0;
    else
        version.version = int(ReadLocalNode(*m_session, target.local).revision);
    return version;
}

bool SubversionBackend::LocalChecksum(const std::string& local, unsigned& checksum)
{
    FileInfo info;
    if (!GetFileInfo(local, info) || info.isFolder)
        return false;
    auto known = m_localChecksums.find(local);
    if (known != m_localChecksums.end() && known->second.lastWrite == info.lastWrite.value &&
        known->second.size == info.size)
    {
        checksum = known->second.checksum;
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(local, bytes))
        return false;
    checksum = ContentChecksum(bytes);
    // A file written within the last seconds may change again without its
    // time showing it (coarse file-system clocks): not remembered yet.
    if (NowAsFileTime() - info.lastWrite.value > kSettledFileTime)
        m_localChecksums[local] = KnownChecksum{info.size, info.lastWrite.value, checksum};
    return true;
}

int SubversionBackend::SyncPath(const std::string* path, bool force, const ManualResetEvent* cancel)
{
    if (!Ready())
        return kServerError;
    Cache().Clear();
    LocalNode root = ReadLocalNode(*m_session, m_root);
    std::string local = path ? Resolve(*path).local : m_root;
    if (root.versioned && BelongsToOtherRepository(root.url))
    {
        Fail("The working folder " + m_root + " belongs to " + root.url + ", not to " + m_session->Url());
        return kServerError;
    }
    int result = UpdateWorkingCopy(root.versioned, local, force, cancel);
    if (result != 0 && ReadLocalNode(*m_session, m_root).versioned)
    {
        // An interrupted update leaves the working copy locked: clean it up
        // so that the next sync can run.
        SubversionSession::Call cleanup(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_clear(svn_client_cleanup2(m_root.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, m_session->Context(),
                                            cleanup.Pool()));
    }
    return result;
}

bool SubversionBackend::BelongsToOtherRepository(const std::string& url) const
{
    apr_pool_t* pool = nullptr;
    apr_pool_create(&pool, nullptr);
    bool differs = m_session->Url() != svn_uri_canonicalize(url.c_str(), pool);
    apr_pool_destroy(pool);
    return differs;
}

int SubversionBackend::UpdateWorkingCopy(bool existing, const std::string& local, bool force,
                                         const ManualResetEvent* cancel)
{
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection, cancel);
    if (!call.Reachable())
    {
        Fail("Couldn't sync: " + call.Error());
        return kServerError;
    }
    m_session->SetLogFileActions(true);
    svn_opt_revision_t head = Revision(svn_opt_revision_head);
    auto bringDown = [&]() -> svn_error_t* {
        if (!existing)
        {
            // A fresh working folder: the whole repository comes down. Files
            // that are already there stay and show as local changes.
            EnsureFolders(m_root);
            svn_revnum_t revision = 0;
            return svn_client_checkout3(&revision, m_session->Url().c_str(), m_root.c_str(), &head, &head,
                                        svn_depth_infinity, TRUE, TRUE, m_session->Context(), call.Pool());
        }
        if (force)
            SVN_ERR(svn_client_revert4(PathArray({local}, call.Pool()), svn_depth_infinity, nullptr, FALSE, FALSE,
                                       TRUE, m_session->Context(), call.Pool()));
        return svn_client_update4(nullptr, PathArray({local}, call.Pool()), &head, svn_depth_unknown, FALSE, TRUE,
                                  TRUE, TRUE, TRUE, m_session->Context(), call.Pool());
    };
    svn_error_t* err = bringDown();
    if (LeftLockedByInterruption(err))
    {
        // A sync that was killed or lost its server leaves the working copy
        // locked with its work unfinished: finish that work, then sync.
        svn_error_clear(err);
        m_session->Log("The working copy was left locked by an interrupted sync: cleaning it up", false);
        err = svn_client_cleanup2(m_root.c_str(), TRUE, FALSE, FALSE, FALSE, FALSE, m_session->Context(), call.Pool());
        if (!err)
            err = bringDown();
    }
    m_session->SetLogFileActions(false);
    bool cancelled = cancel && cancel->IsSet();
    if (!call.Check(err))
    {
        if (!cancelled)
            Fail("Sync failed: " + call.Error());
        return kServerError;
    }
    // Files left in conflict need the user: the sync did not succeed.
    if (call.Conflicts() == 0)
        return 0;
    Fail(Format("Sync left %d file(s) in conflict", call.Conflicts()));
    return kServerError;
}

void SubversionBackend::GetFolders(const std::string& path, std::vector<std::string>& list)
{
    list.clear();
    // Before a working folder is chosen there is nothing to list yet.
    if (m_root.empty() || !Ready())
        return;
    Target folder = Resolve(path);
    std::map<std::string, SubversionEntry> children;
    std::string error;
    if (!Cache().Children(folder.relative, children, error))
    {
        Fail("Couldn't list " + folder.relative + ": " + error);
        return;
    }
    for (const auto& [child, entry] : children)
        if (entry.onServer && entry.serverIsFolder)
            list.push_back(NameOf(child));
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
}

void SubversionBackend::ListServerFiles(const Target& folder, bool recursive, bool onlyHeldBy,
                                        const std::string& holder, std::vector<std::string>& list)
{
    if (!recursive)
    {
        std::map<std::string, SubversionEntry> children;
        std::string error;
        if (!Cache().Children(folder.relative, children, error))
        {
            Fail("Couldn't list " + folder.relative + ": " + error);
            return;
        }
        for (const auto& [child, entry] : children)
            if (entry.onServer && !entry.serverIsFolder && (!onlyHeldBy || entry.lockOwner == holder))
                list.push_back(NameOf(child));
        std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
        return;
    }
    SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection);
    FileListBaton baton{onlyHeldBy, holder, &list};
    svn_opt_revision_t head = Revision(svn_opt_revision_head);
    svn_error_t* err = nullptr;
    if (call.Reachable())
        err = svn_client_list4(m_session->UrlOf(folder.relative, call.Pool()), &head, &head, nullptr,
                               svn_depth_infinity, SVN_DIRENT_KIND, onlyHeldBy, FALSE, &OnFileListed, &baton,
                               m_session->Context(), call.Pool());
    if (!call.Check(err))
    {
        list.clear();
        Fail("Couldn't list " + folder.relative + ": " + call.Error());
    }
}

void SubversionBackend::GetFiles(const std::string& path, std::vector<std::string>& list, int mode,
                                 bool onlyCheckedOut, const std::string& userName)
{
    list.clear();
    // Before a working folder is chosen there is nothing to list yet.
    if (m_root.empty() || !Ready())
        return;
    ListServerFiles(Resolve(path), mode == 3, onlyCheckedOut, userName, list);
}

void SubversionBackend::GetFolderFileStates(const std::string& path, std::vector<FolderFileState>& states)
{
    states.clear();
    // Before a working folder is chosen there is nothing to list yet.
    if (m_root.empty() || !Ready())
        return;
    Target folder = Resolve(path);
    std::map<std::string, SubversionEntry> children;
    std::string error;
    if (!Cache().Children(folder.relative, children, error))
    {
        Fail("Couldn't list " + folder.relative + ": " + error);
        return;
    }
    states.reserve(children.size());
    for (const auto& [child, entry] : children)
    {
        if (!entry.onServer || entry.serverIsFolder)
            continue;
        FolderFileState state;
        state.name = NameOf(child);
        Target target{child, m_root + "/" + child};
        state.statusResult = StatusOfEntry(target, entry, state.status);
        if (LocalChecksum(target.local, state.local.checksum))
            state.local.version = entry.inWorkingCopy && !entry.scheduledAdd ? int(entry.workingRevision) : 0;
        states.push_back(std::move(state));
    }
    std::sort(states.begin(), states.end(),
              [](const FolderFileState& a, const FolderFileState& b) { return LessNoCase(a.name, b.name); });
}

void SubversionBackend::GetFilesUnderDirectory(const std::string& path, std::vector<std::string>& list)
{
    list.clear();
    // Before a working folder is chosen there is nothing to list yet.
    if (m_root.empty() || !Ready())
        return;
    // What a build works on: the files the working copy holds, without a
    // server call. A folder the working copy lacks lists nothing.
    Target folder = Resolve(path);
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    WorkingFilesBaton baton{folder.local, &list};
    svn_opt_revision_t head = Revision(svn_opt_revision_head);
    svn_revnum_t revision = 0;
    svn_error_t* err = svn_client_status6(&revision, m_session->Context(),
                                          svn_dirent_canonicalize(folder.local.c_str(), call.Pool()), &head,
                                          svn_depth_infinity, TRUE, FALSE, FALSE, FALSE, TRUE, FALSE, nullptr,
                                          &OnWorkingFile, &baton, call.Pool());
    bool missing = false;
    for (svn_error_t* it = err; it; it = it->child)
        missing = missing || it->apr_err == SVN_ERR_WC_NOT_WORKING_COPY || it->apr_err == SVN_ERR_WC_PATH_NOT_FOUND ||
                  APR_STATUS_IS_ENOENT(it->apr_err);
    if (err && !missing)
        Fail("Couldn't list " + folder.relative + " in the working copy: " + SubversionErrorText(err));
    svn_error_clear(err);
    if (err)
        list.clear();
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
}

} // namespace mw
