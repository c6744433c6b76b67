// The Subversion backend's conflicts: which files a sync left in conflict,
// and marking one resolved once the user has merged it.
#include "SubversionBackend.h"

#include "../PathRules.h"
#include "SubversionSession.h"
#include "SubversionStatusCache.h"
#include "SubversionWorkingCopy.h"

#include <svn_dirent_uri.h>
#include <svn_wc.h>

#include <algorithm>

namespace mw {
namespace {

struct ConflictBaton
{
    const std::string* root;
    std::vector<std::string>* list;
};

svn_error_t* OnConflictStatus(void* baton, const char* absolutePath, const svn_client_status_t* status, apr_pool_t*)
{
    auto* conflicts = static_cast<ConflictBaton*>(baton);
    std::string path = absolutePath;
    if (!status->conflicted || path.size() <= conflicts->root->size())
        return SVN_NO_ERROR;
    conflicts->list->push_back(path.substr(conflicts->root->size() + 1));
    return SVN_NO_ERROR;
}

bool IsNoWorkingCopy(svn_error_t* err)
{
    for (svn_error_t* it = err; it; it = it->child)
        if (it->apr_err == SVN_ERR_WC_NOT_WORKING_COPY || it->apr_err == SVN_ERR_WC_PATH_NOT_FOUND ||
            APR_STATUS_IS_ENOENT(it->apr_err) || APR_STATUS_IS_ENOTDIR(it->apr_err))
            return true;
    return false;
}

} // namespace

void SubversionBackend::GetConflictedFiles(const std::string& folder, std::vector<std::string>& list)
{
    list.clear();
    if (m_root.empty() || !m_session || !m_session->IsOpen())
        return;
    Target target = Resolve(folder);
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    svn_opt_revision_t head = Revision(svn_opt_revision_head);
    ConflictBaton baton{&m_root, &list};
    svn_revnum_t revision = 0;
    // Only what differs from the base is reported, from the working copy alone.
    svn_error_t* err = svn_client_status6(&revision, m_session->Context(),
                                          svn_dirent_canonicalize(target.local.c_str(), call.Pool()), &head,
                                          svn_depth_infinity, FALSE, FALSE, TRUE, FALSE, TRUE, FALSE, nullptr,
                                          &OnConflictStatus, &baton, call.Pool());
    if (err && !IsNoWorkingCopy(err))
        Fail("Couldn't read the working copy at " + target.local + ": " + SubversionErrorText(err));
    svn_error_clear(err);
    std::sort(list.begin(), list.end(), [](const std::string& a, const std::string& b) { return LessNoCase(a, b); });
}

bool SubversionBackend::ResolveFile(const std::string& path)
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
    if (!node.conflicted)
    {
        Fail("File " + target.relative + " is not in conflict");
        return false;
    }
    Cache().Forget(target.relative);
    SubversionSession::Call call(*m_session, SubversionSession::Reach::LocalOnly);
    // The file on disk is the user's merge: it is kept as it is, and the
    // copies of both sides that the sync left beside it go.
    svn_error_t* err = svn_client_resolve(target.local.c_str(), svn_depth_empty, svn_wc_conflict_choose_merged,
                                          m_session->Context(), call.Pool());
    if (!call.Check(err))
    {
        Fail("Couldn't resolve " + target.relative + ": " + call.Error());
        return false;
    }
    return true;
}

} // namespace mw
