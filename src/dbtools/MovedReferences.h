// The records and templates that refer to files being moved, renamed or
// deleted, and the rewrite of those references to the new paths. A reference
// is a whole value or one ';'-separated element of it, compared in its
// database-relative form without regard to letter case or separator.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

// Paths relative to the working folder. An empty newPath: the file is
// deleted. A folder change carries every path below oldPath to newPath.
struct PathChange
{
    std::string oldPath;
    std::string newPath;
    bool isFolder = false;
};

struct ReferringFile
{
    std::string path; // relative to the working folder, with '/'
    int references = 0;
};

// The database folder that is searched for what refers to a moved or
// deleted file: the selected custom map's (whose tab shows it), else the
// working folder's. Full path ending in '/'.
std::string SelectedDatabaseFolder(IWorkspaceContext& context);

// Every record and template of the selected database folder that refers to
// an old path, in walk order. Files that cannot be read are skipped.
std::vector<ReferringFile> FindReferringFiles(IWorkspaceContext& context, const std::vector<PathChange>& changes);

// The paths of the files found, in their order.
std::vector<std::string> PathsOfReferringFiles(const std::vector<ReferringFile>& files);

struct ReferenceRewriteResult
{
    std::vector<std::string> rewritten;    // saved (or, in a dry run, would be)
    std::vector<std::string> heldByOthers; // checked out by another user: left alone
    std::vector<std::string> failed;       // check-out, save or check-in failed
};

// Rewrites the references in the given files (relative to the working
// folder). Each changed file is taken with the check-out rule, saved, and
// checked in when this call checked it out. A dry run only counts.
ReferenceRewriteResult RewriteReferences(IWorkspaceContext& context, const std::vector<PathChange>& changes,
                                         const std::vector<std::string>& files, bool dryRun);

} // namespace mw
