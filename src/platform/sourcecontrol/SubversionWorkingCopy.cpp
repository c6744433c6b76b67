// The working-copy steps shared by the Subversion backend's files.
#include "SubversionWorkingCopy.h"

#include "SubversionSession.h"

#include <svn_dirent_uri.h>
#include <svn_wc.h>

namespace mw {
namespace {

svn_error_t* OnLocalInfo(void* baton, const char*, const svn_client_info2_t* info, apr_pool_t*)
{
    auto* node = static_cast<LocalNode*>(baton);
    node->versioned = info->kind == svn_node_file || info->kind == svn_node_dir;
    node->scheduledAdd = info->wc_info && info->wc_info->schedule == svn_wc_schedule_add && !info->wc_info->copyfrom_url;
    node->holdsLockToken = info->lock && info->lock->token;
    node->revision = node->scheduledAdd || info->last_changed_rev < 0 ? 0 : info->last_changed_rev;
    node->url = info->URL ? info->URL : "";
    node->conflicted = info->wc_info && info->wc_info->conflicts && info->wc_info->conflicts->nelts > 0;
    return SVN_NO_ERROR;
}

} // namespace

apr_array_header_t* PathArray(const std::vector<std::string>& paths, apr_pool_t* pool)
{
    apr_array_header_t* array = apr_array_make(pool, int(paths.size()), sizeof(const char*));
    for (const std::string& path : paths)
        APR_ARRAY_PUSH(array, const char*) = apr_pstrdup(pool, path.c_str());
    return array;
}

svn_opt_revision_t Revision(svn_opt_revision_kind kind)
{
    svn_opt_revision_t revision;
    revision.kind = kind;
    return revision;
}

LocalNode ReadLocalNode(SubversionSession& session, const std::string& local)
{
    LocalNode node;
    SubversionSession::Call call(session, SubversionSession::Reach::LocalOnly);
    if (!session.Context())
        return node;
    svn_opt_revision_t unspecified = Revision(svn_opt_revision_unspecified);
    svn_error_t* err = svn_client_info4(svn_dirent_canonicalize(local.c_str(), call.Pool()), &unspecified,
                                        &unspecified, svn_depth_empty, FALSE, TRUE, FALSE, nullptr, &OnLocalInfo,
                                        &node, session.Context(), call.Pool());
    svn_error_clear(err);
    return node;
}

} // namespace mw
