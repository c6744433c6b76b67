// The Subversion backend's changes to the tree: adding files, deleting,
// renaming, and making folders, on the working copy and the server together.
#include "SubversionBackend.h"

#include "../FileSystem.h"
#include "../PathRules.h"
#include "SubversionSession.h"
#include "SubversionStatusCache.h"
#include "SubversionWorkingCopy.h"

#include <svn_props.h>

namespace mw {

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
    // The server refused: the old name comes back, the new file stays on disk.
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    svn_error_t* err = svn_client_revert4(PathArray({from.local, to.local}, call.Pool()), svn_depth_infinity, nullptr,
                                          FALSE, FALSE, TRUE, m_session->Context(), call.Pool());
    if (!call.Check(err))
        Fail("Couldn't restore " + from.relative + ": " + call.Error());
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
