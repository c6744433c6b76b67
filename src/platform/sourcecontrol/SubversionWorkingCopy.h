// Small steps on the working copy shared by the Subversion backend's files:
// path arrays, revisions, and what the working copy alone knows of a node.
#pragma once

#include <apr_tables.h>
#include <svn_opt.h>

#include <string>
#include <vector>

namespace mw {

class SubversionSession;

// Paths as the library takes them, allocated in pool.
apr_array_header_t* PathArray(const std::vector<std::string>& paths, apr_pool_t* pool);
svn_opt_revision_t Revision(svn_opt_revision_kind kind);

// What the working copy alone knows of one node.
struct LocalNode
{
    bool versioned = false;
    bool scheduledAdd = false;   // added, not committed yet
    bool holdsLockToken = false; // this working copy holds its lock
    bool conflicted = false;     // a sync left it in conflict
    long revision = 0;           // the last revision that changed it, 0 when added
    std::string url;
};

// Reads the working copy's record of local (an absolute path); no server contact.
LocalNode ReadLocalNode(SubversionSession& session, const std::string& local);

} // namespace mw
