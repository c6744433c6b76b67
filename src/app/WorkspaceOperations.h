// Workspace operations on folders through source control: creating a mod's
// folder skeleton and adding a folder tree.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

// Creates the folders and the two empty files of a new mod (the game's own
// tree for an empty name) and adds the files to source control. False when
// a file could not be created.
bool NewModFolders(IWorkspaceContext& context, const std::string& modName);

// Adds every file below the folder (relative to the working folder, ending
// in "/") that source control does not know yet, in one change, and logs how
// many. The number added, or -1 when that failed (logged).
int AddFolderRecursively(IWorkspaceContext& context, const std::string& relativeFolder);

} // namespace mw
