// Folder-wide status queries of the Subversion backend and their cache.
#include "SubversionStatusCache.h"

#include "../Clock.h"
#include "../FileSystem.h"
#include "SubversionSession.h"

#include <svn_checksum.h>
#include <svn_dirent_uri.h>
#include <svn_io.h>
#include <svn_ra.h>
#include <svn_types.h>
#include <svn_wc.h>

namespace mw {
namespace {

std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Join(const std::string& folder, const char* name)
{
    if (!*name)
        return folder;
    return folder.empty() ? std::string(name) : folder + "/" + name;
}

unsigned ChecksumBits(const svn_checksum_t* checksum)
{
    const unsigned char* digest = checksum->digest;
    return (unsigned(digest[0]) << 24) | (unsigned(digest[1]) << 16) | (unsigned(digest[2]) << 8) | digest[3];
}

bool IsMissingHere(svn_error_t* err)
{
    for (svn_error_t* it = err; it; it = it->child)
        if (it->apr_err == SVN_ERR_WC_PATH_NOT_FOUND || it->apr_err == SVN_ERR_WC_NOT_WORKING_COPY ||
            it->apr_err == SVN_ERR_ENTRY_NOT_FOUND || it->apr_err == SVN_ERR_WC_UPGRADE_REQUIRED ||
            APR_STATUS_IS_ENOENT(it->apr_err) || APR_STATUS_IS_ENOTDIR(it->apr_err))
            return true;
    return false;
}

// path below root as a relative path ("" for root itself); false when it
// is not below root.
bool RelativeTo(const std::string& root, const char* absolutePath, std::string& path)
{
    path = absolutePath;
    if (path.size() < root.size())
        return false;
    path = path.size() == root.size() ? std::string() : path.substr(root.size() + 1);
    return true;
}

// A versioned node the working copy has (not scheduled for deletion).
bool InWorkingCopy(const svn_client_status_t* status)
{
    return status->versioned && status->node_status != svn_wc_status_deleted &&
           (status->kind == svn_node_file || status->kind == svn_node_dir);
}

void FillWorkingSide(const svn_client_status_t* status, SubversionEntry& entry)
{
    entry.inWorkingCopy = true;
    entry.workingIsFolder = status->kind == svn_node_dir;
    entry.scheduledAdd = status->node_status == svn_wc_status_added && !status->copied;
    entry.workingRevision = entry.scheduledAdd || status->changed_rev < 0 ? 0 : status->changed_rev;
    entry.holdsLockToken = status->lock && status->lock->token;
    entry.conflicted = status->conflicted;
    entry.locallyModified = status->text_status != svn_wc_status_normal || status->node_status == svn_wc_status_replaced;
}

struct EntriesBaton
{
    const std::string* root;
    std::map<std::string, SubversionEntry>* entries;
};

// The working copy's side of a node, from a local status walk.
svn_error_t* OnLocalStatus(void* baton, const char* absolutePath, const svn_client_status_t* status, apr_pool_t*)
{
    auto* local = static_cast<EntriesBaton*>(baton);
    std::string path;
    if (RelativeTo(*local->root, absolutePath, path) && InWorkingCopy(status))
        FillWorkingSide(status, (*local->entries)[path]);
    return SVN_NO_ERROR;
}

// Both sides of a node, from a status walk with out-of-date information.
svn_error_t* OnWalkedStatus(void* baton, const char* absolutePath, const svn_client_status_t* status, apr_pool_t*)
{
    auto* walk = static_cast<EntriesBaton*>(baton);
    std::string path;
    if (!RelativeTo(*walk->root, absolutePath, path))
        return SVN_NO_ERROR;
    // The server's side. Without news from the server (repos_node_status
    // none) the server has the node as the working copy's base has it, and
    // a node added here (not copied or moved from elsewhere) is not there.
    bool onServer = false;
    bool serverIsFolder = false;
    long serverRevision = 0;
    switch (status->repos_node_status)
    {
    case svn_wc_status_none:
    case svn_wc_status_normal:
        onServer = status->versioned && status->node_status != svn_wc_status_added &&
                   status->node_status != svn_wc_status_unversioned;
        serverIsFolder = status->kind == svn_node_dir;
        serverRevision = status->changed_rev >= 0 ? status->changed_rev : status->revision;
        break;
    case svn_wc_status_deleted:
        break;
    default: // added, modified or replaced on the server since the base
        onServer = true;
        serverIsFolder = (status->ood_kind == svn_node_none ? status->kind : status->ood_kind) == svn_node_dir;
        serverRevision = status->ood_changed_rev >= 0 ? status->ood_changed_rev : status->changed_rev;
        break;
    }
    bool present = InWorkingCopy(status);
    if (!present && !onServer)
        return SVN_NO_ERROR;
    SubversionEntry& entry = (*walk->entries)[path];
    entry.onServer = onServer;
    entry.serverIsFolder = serverIsFolder;
    entry.serverRevision = serverRevision < 0 ? 0 : serverRevision;
    if (onServer && status->repos_lock && status->repos_lock->owner)
        entry.lockOwner = status->repos_lock->owner;
    if (present)
        FillWorkingSide(status, entry);
    return SVN_NO_ERROR;
}

} // namespace

unsigned ContentChecksum(const std::string& bytes)
{
    apr_pool_t* pool = nullptr;
    apr_pool_create(&pool, nullptr);
    svn_checksum_t* checksum = nullptr;
    unsigned bits = 0;
    svn_error_t* err = svn_checksum(&checksum, svn_checksum_sha1, bytes.data(), bytes.size(), pool);
    if (!err)
        bits = ChecksumBits(checksum);
    svn_error_clear(err);
    apr_pool_destroy(pool);
    return bits;
}

bool SubversionStatusCache::Query(const std::string& target, bool withChildren,
                                  std::map<std::string, SubversionEntry>& entries, std::string& error)
{
    // One entry alone: the walk of a file would ask the server for the
    // locks of its whole folder, which the kept connection answers quicker.
    if (!withChildren)
        return ListSeparately(target, withChildren, entries, error);
    bool walkCannotAnswer = false;
    if (Walk(target, withChildren, entries, error, walkCannotAnswer))
        return true;
    if (!walkCannotAnswer)
        return false;
    // The working copy has no record of target (not synced yet, or not a
    // working copy): the server's listing answers.
    entries.clear();
    error.clear();
    return ListSeparately(target, withChildren, entries, error);
}

bool SubversionStatusCache::Walk(const std::string& target, bool withChildren,
                                 std::map<std::string, SubversionEntry>& entries, std::string& error,
                                 bool& walkCannotAnswer)
{
    walkCannotAnswer = false;
    std::string local = target.empty() ? m_root : m_root + "/" + target;
    // Without a record in the working copy the walk has nothing to compare
    // the server with; asking it would only cost a failed connection.
    if (!PathExists(local))
    {
        walkCannotAnswer = true;
        return false;
    }
    SubversionSession::Call call(m_session, SubversionSession::Reach::NewConnection);
    if (!call.Reachable())
    {
        error = call.Error();
        return false;
    }
    svn_opt_revision_t head;
    head.kind = svn_opt_revision_head;
    EntriesBaton baton{&m_root, &entries};
    svn_revnum_t revision = 0;
    svn_error_t* err = svn_client_status6(
        &revision, m_session.Context(), svn_dirent_canonicalize(local.c_str(), call.Pool()), &head,
        withChildren ? svn_depth_immediates : svn_depth_empty, TRUE /* get_all */, TRUE /* check_out_of_date */,
        TRUE /* check_working_copy */, FALSE /* no_ignore */, TRUE /* ignore_externals */,
        FALSE /* depth_as_sticky */, nullptr, &OnWalkedStatus, &baton, call.Pool());
    if (call.Check(err))
        return true;
    error = call.Error();
    // A walk the server cut short is not tried again another way.
    walkCannotAnswer = !call.ConnectionFailed();
    return false;
}

bool SubversionStatusCache::ListSeparately(const std::string& target, bool withChildren,
                                           std::map<std::string, SubversionEntry>& entries, std::string& error)
{
    SubversionSession::Call call(m_session, SubversionSession::Reach::KeptConnection);
    if (!call.Reachable())
    {
        error = call.Error();
        return false;
    }
    svn_depth_t depth = withChildren ? svn_depth_immediates : svn_depth_empty;

    // The server's side, on the connection kept open: the target, its
    // children, and the locks below it.
    svn_error_t* err = nullptr;
    svn_ra_session_t* connection = m_session.Connection(&err, call.Pool());
    svn_dirent_t* self = nullptr;
    if (!err)
        err = svn_ra_stat(connection, target.c_str(), SVN_INVALID_REVNUM, &self, call.Pool());
    if (!err && self)
    {
        SubversionEntry& entry = entries[target];
        entry.onServer = true;
        entry.serverIsFolder = self->kind == svn_node_dir;
        entry.serverRevision = self->created_rev;
    }
    if (!err && self && self->kind == svn_node_dir && withChildren)
    {
        apr_hash_t* children = nullptr;
        err = svn_ra_get_dir2(connection, &children, nullptr, nullptr, target.c_str(), SVN_INVALID_REVNUM,
                              SVN_DIRENT_KIND | SVN_DIRENT_CREATED_REV, call.Pool());
        for (apr_hash_index_t* it = err ? nullptr : apr_hash_first(call.Pool(), children); it; it = apr_hash_next(it))
        {
            const auto* dirent = static_cast<const svn_dirent_t*>(apr_hash_this_val(it));
            SubversionEntry& entry = entries[Join(target, static_cast<const char*>(apr_hash_this_key(it)))];
            entry.onServer = true;
            entry.serverIsFolder = dirent->kind == svn_node_dir;
            entry.serverRevision = dirent->created_rev;
        }
    }
    if (!err && self)
    {
        apr_hash_t* locks = nullptr;
        err = svn_ra_get_locks2(connection, &locks, target.c_str(), depth, call.Pool());
        std::string prefix = m_session.RepositoryPath();
        if (prefix.back() != '/')
            prefix += '/';
        for (apr_hash_index_t* it = err ? nullptr : apr_hash_first(call.Pool(), locks); it; it = apr_hash_next(it))
        {
            const auto* lock = static_cast<const svn_lock_t*>(apr_hash_this_val(it));
            std::string path = lock->path ? lock->path : "";
            if (path.compare(0, prefix.size(), prefix) != 0)
                continue;
            auto found = entries.find(path.substr(prefix.size()));
            if (found != entries.end())
                found->second.lockOwner = lock->owner ? lock->owner : "";
        }
    }
    if (!call.Check(err))
    {
        error = call.Error();
        return false;
    }

    // The working copy's side is local: no server contact.
    svn_opt_revision_t head;
    head.kind = svn_opt_revision_head;
    std::string local = target.empty() ? m_root : m_root + "/" + target;
    EntriesBaton localBaton{&m_root, &entries};
    svn_revnum_t revision = 0;
    err = svn_client_status6(&revision, m_session.Context(), svn_dirent_canonicalize(local.c_str(), call.Pool()), &head,
                             depth, TRUE, FALSE, TRUE, FALSE, TRUE, FALSE, nullptr, &OnLocalStatus, &localBaton,
                             call.Pool());
    if (err && !IsMissingHere(err))
        m_session.Log("Couldn't read the working copy at " + local + ": " + SubversionErrorText(err), true);
    svn_error_clear(err);
    return true;
}

const SubversionStatusCache::Folder* SubversionStatusCache::FreshFolder(const std::string& folder, std::string& error)
{
    auto found = m_folders.find(folder);
    uint64_t now = TickCountMs();
    if (found != m_folders.end() && now - found->second.takenMs < m_session.Options().statusCacheMs)
        return &found->second;
    Folder fresh;
    if (!Query(folder, true, fresh.entries, error))
        return nullptr;
    fresh.takenMs = TickCountMs();
    // Forgotten entries of this folder are answered by this new listing.
    for (auto it = m_forgotten.begin(); it != m_forgotten.end();)
        it = ParentOf(*it) == folder ? m_forgotten.erase(it) : std::next(it);
    Folder& stored = m_folders[folder];
    stored = std::move(fresh);
    return &stored;
}

bool SubversionStatusCache::Entry(const std::string& path, SubversionEntry& entry, std::string& error)
{
    entry = SubversionEntry();
    if (m_forgotten.count(path))
    {
        // Only this entry changed since its folder was listed: ask for it alone.
        std::map<std::string, SubversionEntry> single;
        if (!Query(path, false, single, error))
            return false;
        auto found = single.find(path);
        if (found != single.end())
            entry = found->second;
        m_forgotten.erase(path);
        auto folder = m_folders.find(ParentOf(path));
        if (folder != m_folders.end())
            folder->second.entries[path] = entry;
        return true;
    }
    const Folder* folder = FreshFolder(path.empty() ? std::string() : ParentOf(path), error);
    if (!folder)
        return false;
    if (path.empty())
    {
        auto self = folder->entries.find(path);
        if (self != folder->entries.end())
            entry = self->second;
        return true;
    }
    auto found = folder->entries.find(path);
    if (found != folder->entries.end())
        entry = found->second;
    return true;
}

bool SubversionStatusCache::CachedEntry(const std::string& path, SubversionEntry& entry) const
{
    if (m_forgotten.count(path))
        return false;
    auto folder = m_folders.find(ParentOf(path));
    if (folder == m_folders.end() || TickCountMs() - folder->second.takenMs >= m_session.Options().statusCacheMs)
        return false;
    auto found = folder->second.entries.find(path);
    if (found == folder->second.entries.end())
        return false;
    entry = found->second;
    return true;
}

bool SubversionStatusCache::Children(const std::string& folder, std::map<std::string, SubversionEntry>& children,
                                     std::string& error)
{
    children.clear();
    const Folder* listed = FreshFolder(folder, error);
    if (!listed)
        return false;
    for (const auto& [path, entry] : listed->entries)
        if (path != folder)
            children[path] = entry;
    // Entries this client changed since the listing are asked for again.
    for (auto& [path, entry] : children)
        if (m_forgotten.count(path) && !Entry(path, entry, error))
            return false;
    return true;
}

bool SubversionStatusCache::ServerChecksum(const std::string& path, long revision, unsigned& checksum,
                                           std::string& error)
{
    auto key = std::make_pair(path, revision);
    auto found = m_serverChecksums.find(key);
    if (found != m_serverChecksums.end())
    {
        checksum = found->second;
        return true;
    }
    SubversionSession::Call call(m_session, SubversionSession::Reach::NewConnection);
    if (!call.Reachable())
    {
        error = call.Error();
        return false;
    }
    svn_opt_revision_t at;
    at.kind = svn_opt_revision_number;
    at.value.number = revision;
    svn_stringbuf_t* text = svn_stringbuf_create_empty(call.Pool());
    svn_error_t* err = svn_client_cat3(nullptr, svn_stream_from_stringbuf(text, call.Pool()),
                                       m_session.UrlOf(path, call.Pool()), &at, &at, FALSE, m_session.Context(),
                                       call.Pool(), call.Pool());
    if (!call.Check(err))
    {
        error = call.Error();
        return false;
    }
    checksum = ContentChecksum(std::string(text->data, text->len));
    m_serverChecksums[key] = checksum;
    return true;
}

void SubversionStatusCache::Forget(const std::string& path) { m_forgotten.insert(path); }

void SubversionStatusCache::Clear()
{
    m_folders.clear();
    m_forgotten.clear();
}

} // namespace mw
