// Where a path typed into a file chooser that keeps to a root folder leads:
// a name, a sub-path ("textures/rock.tga") or a whole path, read against the
// folder being shown, and refused when it leaves the root.
#pragma once

#include <string>

namespace mw {

// The typed path read against folder (both separators accepted, "." and ".."
// folded away), relative to root with '/' separators. False when it names
// the root itself or lies outside it, or when ".." climbs above the file
// system's top. Root and folder are whole paths; the comparison with root
// ignores ASCII case and separator form, as the workspace's folder names do.
bool RelativeBelowRoot(const std::string& root, const std::string& folder, const std::string& typed,
                       std::string& relative);

} // namespace mw
