// Moving or renaming a record, a template or a folder of them without asking
// (the command line's move-record and move-template): the move, the earlier
// path in each moved file's name history, and the rewrite of every record and
// template that referred to the old path.
#pragma once

#include "dbtools/MovedReferences.h"

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

struct DatabaseMoveResult
{
    // Empty when the move was made (or, in a dry run, could be made).
    std::string error;
    // Relative to the working folder with '/'; a folder's paths end in '/'.
    std::string oldPath;
    std::string newPath;
    bool isFolder = false;
    // The referring files rewritten (in a dry run: that would be), those held
    // by another user and left alone, and those that could not be updated.
    ReferenceRewriteResult references;
    // Moved files whose name history could not be extended.
    std::vector<std::string> historyFailed;
};

// oldPath: a file with the extension given ("dbr" or "tpl") or a folder,
// below the database folder. newPath: the new path, or a folder (ending in a
// separator, or existing) to move into under the same name. Paths are
// relative to the working folder, with either separator. A dry run changes
// nothing and reports what would change.
DatabaseMoveResult MoveDatabasePath(IWorkspaceContext& context, const std::string& oldPath,
                                    const std::string& newPath, const std::string& extension, bool dryRun);

} // namespace mw
