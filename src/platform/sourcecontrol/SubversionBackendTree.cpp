// The Subversion backend's changes to the tree: adding files, deleting,
// renaming, and making folders, on the working copy and the server together.
#include "SubversionBackend.h"

#include "../FileSystem.h"
#include "../PathRules.h"
#include "SubversionSession.h"
#include "SubversionStatusCache.h"
#include "SubversionWorkingCopy.h"

#include <svn_props.h>
#include <svn_wc.h>

#include <algorithm>
#include <set>

namespace mw {
namespace {

std::string ParentOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

bool SubversionBackend::AddFile(const std::string& path)
{
    if (!Ready())
        return false;
    Target target = Resolve(path);
    if (!IsFile(target.local))
    {
        Fail("File " + target.relative + " does not exist");
        return false;
    }
    SubversionEntry entry;
    if (!FreshEntry(target, entry))
        return false;
    if (entry.inWorkingCopy && !entry.scheduledAdd)
        return true;
    if (entry.onServer)
    {
        Fail("File " + target.relative + " already exists on the server; sync before adding it");
        return false;
    }
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_add5(target.local.c_str(), svn_depth_empty, TRUE, TRUE, FALSE, TRUE,
                                           m_session->Context(), call.Pool());
        // Read-only until checked out: the rules of the tool rely on it.
        if (!err)
            err = svn_client_propset_local(SVN_PROP_NEEDS_LOCK, svn_string_create(SVN_PROP_BOOLEAN_TRUE, call.Pool()),
                                           PathArray({target.local}, call.Pool()), svn_depth_empty, FALSE, nullptr,
                                           m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't add " + target.relative + ": " + call.Error());
            return false;
        }
    }
    bool ok = Commit({target.local}, false, "Add " + target.relative);
    Cache().Clear();
    return ok;
}

int SubversionBackend::RemoveOnServer(const std::string& path, bool folder)
{
    if (!Ready())
        return kServerError;
    Target target = Resolve(path);
    LocalNode node = ReadLocalNode(*m_session, target.local);
    Cache().Clear();
    if (!node.versioned)
    {
        // Not under control: only the local copy goes.
        if (folder)
            return DeleteFolderTree(target.local) ? 0 : kNotUnderControl;
        MakeWritable(target.local);
        return RemoveFile(target.local) ? 0 : kNotUnderControl;
    }
    if (node.scheduledAdd)
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_revert4(PathArray({target.local}, call.Pool()), svn_depth_infinity, nullptr,
                                              FALSE, FALSE, TRUE, m_session->Context(), call.Pool());
        svn_error_clear(err);
        if (folder)
            return DeleteFolderTree(target.local) ? 0 : kServerError;
        MakeWritable(target.local);
        return RemoveFile(target.local) ? 0 : kServerError;
    }
    if (folder)
    {
        // A folder whose files this client committed since its last sync is
        // behind the server as a whole, and the server refuses to delete
        // it: it is brought up to date first.
        SubversionSession::Call call(*m_session, SubversionSession::Reach::NewConnection);
        svn_opt_revision_t head = Revision(svn_opt_revision_head);
        svn_error_t* err = nullptr;
        if (call.Reachable())
            err = svn_client_update4(nullptr, PathArray({target.local}, call.Pool()), &head, svn_depth_infinity, FALSE,
                                     TRUE, TRUE, TRUE, FALSE, m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't delete " + target.relative + ": " + call.Error());
            return kServerError;
        }
    }
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_delete4(PathArray({target.local}, call.Pool()), TRUE, FALSE, nullptr, nullptr,
                                              nullptr, m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't delete " + target.relative + ": " + call.Error());
            return kServerError;
        }
    }
    if (Commit({target.local}, true, "Delete " + target.relative))
        return 0;
    // The server refused: bring the file back as the working copy had it.
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    svn_error_t* err = svn_client_revert4(PathArray({target.local}, call.Pool()), svn_depth_infinity, nullptr, FALSE,
                                          FALSE, TRUE, m_session->Context(), call.Pool());
    if (!call.Check(err))
        Fail("Couldn't restore " + target.relative + ": " + call.Error());
    return kServerError;
}

int SubversionBackend::DeleteFile(const std::string& path) { return RemoveOnServer(path, false); }

int SubversionBackend::DeleteDirectory(const std::string& path) { return RemoveOnServer(path, true); }

int SubversionBackend::RenameFile(const std::string& oldPath, const std::string& newPath)
{
    if (!Ready())
        return kServerError;
    Target from = Resolve(oldPath);
    Target to = Resolve(newPath);
    Cache().Clear();
    if (!ReadLocalNode(*m_session, from.local).versioned)
    {
        EnsureFolders(ParentPath(to.local));
        return RenamePath(from.local, to.local) ? 0 : kNotUnderControl;
    }
    // The folders the move makes for the new name, outermost first.
    std::vector<std::string> newFolders;
    for (std::string parent = ParentOf(to.local); parent.size() > m_root.size(); parent = ParentOf(parent))
    {
        if (ReadLocalNode(*m_session, parent).versioned)
            break;
        newFolders.insert(newFolders.begin(), parent);
    }
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_move7(PathArray({from.local}, call.Pool()), to.local.c_str(), FALSE, TRUE, TRUE,
                                            FALSE, nullptr, nullptr, nullptr, m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't rename " + from.relative + " to " + to.relative + ": " + call.Error());
            return kServerError;
        }
    }
    if (Commit({from.local, to.local}, true, "Rename " + from.relative + " to " + to.relative))
        return 0;
    // The server refused: the old name comes back, and neither the new name
    // nor folders made for it stay scheduled for adding or left behind empty.
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    svn_error_t* err = svn_client_revert4(PathArray({from.local}, call.Pool()), svn_depth_infinity, nullptr, FALSE,
                                          FALSE, TRUE, m_session->Context(), call.Pool());
    // The copy under the new name is the restored file's twin: it goes.
    if (!err)
        err = svn_client_revert4(PathArray({newFolders.empty() ? to.local : newFolders.front()}, call.Pool()),
                                 svn_depth_infinity, nullptr, FALSE, FALSE, FALSE, m_session->Context(), call.Pool());
    if (!call.Check(err))
        Fail("Couldn't restore " + from.relative + ": " + call.Error());
    for (auto folder = newFolders.rbegin(); folder != newFolders.rend(); ++folder)
    {
        std::vector<FolderEntry> entries;
        if (ListFolder(*folder, entries) && entries.empty())
            RemoveEmptyFolder(*folder);
    }
    return kServerError;
}

bool SubversionBackend::MakeFolders(const std::string& path, bool parents)
{
    if (!Ready())
        return false;
    Target target = Resolve(path);
    if (target.relative.empty())
        return ReadLocalNode(*m_session, m_root).versioned;
    std::vector<std::string> created;
    std::string prefix;
    for (const std::string& part : SplitText(target.relative, '/'))
    {
        if (part.empty())
            continue;
        prefix = prefix.empty() ? part : prefix + "/" + part;
        bool last = prefix.size() == target.relative.size();
        std::string local = m_root + "/" + prefix;
        if (ReadLocalNode(*m_session, local).versioned)
            continue;
        if (!last && !parents)
        {
            Fail("Folder " + prefix + " is not under source control");
            return false;
        }
        SubversionEntry entry;
        std::string error;
        if (!Cache().Entry(prefix, entry, error))
        {
            Fail("Couldn't get the status of " + prefix + ": " + error);
            return false;
        }
        SubversionSession::Call call(*m_session, entry.onServer ? SubversionSession::Reach::NewConnection
                                                                  : SubversionSession::Reach::LocalOnly);
        svn_error_t* err = nullptr;
        if (entry.onServer)
        {
            // The server has it already: bring it into the working copy.
            svn_opt_revision_t head = Revision(svn_opt_revision_head);
            err = svn_client_update4(nullptr, PathArray({local}, call.Pool()), &head, svn_depth_infinity, FALSE, TRUE,
                                     TRUE, TRUE, TRUE, m_session->Context(), call.Pool());
        }
        else if (IsFolder(local))
            err = svn_client_add5(local.c_str(), svn_depth_empty, TRUE, TRUE, FALSE, FALSE, m_session->Context(),
                                  call.Pool());
        else
            err = svn_client_mkdir4(PathArray({local}, call.Pool()), FALSE, nullptr, nullptr, nullptr,
                                    m_session->Context(), call.Pool());
        // Files that any client adds below a new folder need a lock too.
        if (!err && !entry.onServer)
            err = svn_client_propset_local(SVN_PROP_INHERITABLE_AUTO_PROPS,
                                           svn_string_create("* = " SVN_PROP_NEEDS_LOCK "=*\n", call.Pool()),
                                           PathArray({local}, call.Pool()), svn_depth_empty, FALSE, nullptr,
                                           m_session->Context(), call.Pool());
        if (!call.Check(err))
        {
            Fail("Couldn't create folder " + prefix + ": " + call.Error());
            return false;
        }
        if (!entry.onServer)
            created.push_back(local);
    }
    Cache().Clear();
    if (created.empty())
        return true;
    return Commit(created, false, "Create folder " + target.relative);
}

bool SubversionBackend::CreateDirectory(const std::string& path) { return MakeFolders(path, false); }

bool SubversionBackend::CreateAllDirectories(const std::string& path) { return MakeFolders(path, true); }

} // namespace mw

namespace mw {
namespace {

struct VersionedBaton
{
    std::set<std::string>* versioned;
};

svn_error_t* OnVersionedStatus(void* baton, const char* absolutePath, const svn_client_status_t* status, apr_pool_t*)
{
    if (status->versioned && status->node_status != svn_wc_status_deleted)
        static_cast<VersionedBaton*>(baton)->versioned->insert(absolutePath);
    return SVN_NO_ERROR;
}

// What below local is on disk but not in the working copy: folders before
// what they hold. Hidden folders (".svn", editors' own) are left alone.
void CollectUnversioned(const std::string& local, const std::set<std::string>& versioned,
                        std::vector<std::string>& folders, std::vector<std::string>& files)
{
    std::vector<FolderEntry> entries;
    ListFolder(local, entries);
    for (const FolderEntry& entry : entries)
    {
        std::string path = local + "/" + entry.name;
        if (entry.isFolder)
        {
            if (entry.name[0] == '.')
                continue;
            if (!versioned.count(path))
                folders.push_back(path);
            CollectUnversioned(path, versioned, folders, files);
        }
        else if (!versioned.count(path))
            files.push_back(path);
    }
}

} // namespace

int SubversionBackend::AddFolder(const std::string& folder, const ManualResetEvent* cancel)
{
    if (!Ready())
        return -1;
    Target target = Resolve(folder);
    if (!IsFolder(target.local))
    {
        Fail("Folder " + target.relative + " does not exist");
        return -1;
    }
    if (!ReadLocalNode(*m_session, m_root).versioned)
    {
        Fail("The working folder " + m_root + " is no working copy yet: sync it first");
        return -1;
    }
    // The folders above that are not under control yet go with it.
    std::vector<std::string> folders;
    for (std::string parent = target.local; parent.size() > m_root.size(); parent = ParentOf(parent))
    {
        if (ReadLocalNode(*m_session, parent).versioned)
            break;
        folders.insert(folders.begin(), parent);
    }
    std::set<std::string> versioned;
    std::vector<std::string> files;
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly, cancel);
        if (folders.empty())
        {
            // One pass over the working copy's records below the folder.
            VersionedBaton baton{&versioned};
            svn_opt_revision_t head = Revision(svn_opt_revision_head);
            svn_revnum_t revision = 0;
            svn_error_t* err = svn_client_status6(&revision, m_session->Context(), target.local.c_str(), &head,
                                                  svn_depth_infinity, TRUE, FALSE, FALSE, TRUE, TRUE, FALSE, nullptr,
                                                  &OnVersionedStatus, &baton, call.Pool());
            if (!call.Check(err))
            {
                Fail("Couldn't read the working copy at " + target.relative + ": " + call.Error());
                return -1;
            }
        }
    }
    CollectUnversioned(target.local, versioned, folders, files);
    if (folders.empty() && files.empty())
        return 0;

    std::vector<std::string> added;
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly, cancel);
        svn_error_t* err = nullptr;
        for (const std::string& path : folders)
        {
            if (!err)
                err = svn_client_add5(path.c_str(), svn_depth_empty, FALSE, TRUE, FALSE, FALSE, m_session->Context(),
                                      call.Pool());
            if (!err)
                added.push_back(path);
        }
        // Files that any client adds below a new folder need a lock too.
        if (!err && !folders.empty())
            err = svn_client_propset_local(SVN_PROP_INHERITABLE_AUTO_PROPS,
                                           svn_string_create("* = " SVN_PROP_NEEDS_LOCK "=*\n", call.Pool()),
                                           PathArray(folders, call.Pool()), svn_depth_empty, FALSE, nullptr,
                                           m_session->Context(), call.Pool());
        for (const std::string& path : files)
        {
            if (!err)
                err = svn_client_add5(path.c_str(), svn_depth_empty, FALSE, TRUE, FALSE, FALSE, m_session->Context(),
                                      call.Pool());
            if (!err)
                added.push_back(path);
        }
        // Read-only until checked out, as every file the tool adds.
        if (!err && !files.empty())
            err = svn_client_propset_local(SVN_PROP_NEEDS_LOCK, svn_string_create(SVN_PROP_BOOLEAN_TRUE, call.Pool()),
                                           PathArray(files, call.Pool()), svn_depth_empty, FALSE, nullptr,
                                           m_session->Context(), call.Pool());
        if (!call.Check(err))
            Fail("Couldn't add " + (target.relative.empty() ? std::string("the working folder") : target.relative) +
                 ": " + call.Error());
    }
    bool committed = added.size() == folders.size() + files.size() &&
                     Commit(added, false, Format("Add %d file(s) in %s", int(files.size()),
                                                 target.relative.empty() ? "/" : target.relative.c_str()),
                            false, cancel);
    Cache().Clear();
    if (committed)
        return int(files.size());
    // Nothing half done stays behind: what was scheduled for adding is not any more.
    std::vector<std::string> scheduled;
    for (const std::string& path : added)
        if (std::find(folders.begin(), folders.end(), ParentOf(path)) == folders.end())
            scheduled.push_back(path);
    if (!scheduled.empty())
    {
        SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
        svn_error_t* err = svn_client_revert4(PathArray(scheduled, call.Pool()), svn_depth_infinity, nullptr, FALSE,
                                              FALSE, TRUE, m_session->Context(), call.Pool());
        if (!call.Check(err))
            Fail("Couldn't undo the add of " + target.relative + ": " + call.Error());
    }
    return -1;
}

} // namespace mw
