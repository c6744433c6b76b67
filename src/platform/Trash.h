// The desktop's trash: files and folders moved there keep an entry that names
// where they came from, so that the file manager (or RestoreFromTrash) can
// put them back.
#pragma once

#include <string>

namespace mw {

enum class TrashResult
{
    Trashed,
    // No trash folder serves this path (none can be made, or it lies on
    // another file system); the item is left where it was.
    NoTrash,
    // The item does not exist or could not be moved; it is left where it was.
    Failed,
};

struct TrashOutcome
{
    TrashResult result = TrashResult::Failed;
    // Where the item now lies, and its entry naming the original path.
    std::string trashedPath;
    std::string infoPath;
};

// Moves a file or folder (a link is moved as the link) into the user's trash
// on the same file system: the home trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash) or, on another mounted file system, that file
// system's ".Trash/<uid>" or ".Trash-<uid>". Names that clash with items
// already trashed get ".2", ".3", ... appended.
TrashOutcome MoveToTrash(const std::string& path);

// Puts a trashed item back at the path its entry names and removes the entry.
// False when the entry cannot be read or that path is taken again.
bool RestoreFromTrash(const std::string& infoPath);

// The home trash folder, without a trailing separator.
std::string HomeTrashFolder();

} // namespace mw
