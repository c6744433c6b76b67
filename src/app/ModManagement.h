// Creating and deleting mods: the checks a new mod's name must pass, and
// the removal of a mod's local folders.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

// Mod names are shorter than this.
constexpr size_t kModNameLimit = 32;

// The message of the first check a new mod name fails, in the order: empty,
// too long, a character other than an ASCII letter, digit, "_" or "-",
// equal to an existing mod ignoring case. Empty when the name is valid.
std::string CheckNewModName(const std::string& name, const std::vector<std::string>& existingMods);

class IUserPrompt;

// Deletes the mod's trees below the working folder and the build folder
// (nothing on the source-control server). With toTrash (local mode) the
// trees go to the desktop's trash; where no trash serves a tree, the user is
// asked once whether to delete it for good, and a No keeps it. False when a
// tree that exists could not be removed whole or was kept. An empty or
// unsafe name deletes nothing.
bool DeleteModFolders(const std::string& workingDir, const std::string& buildDir, const std::string& modName,
                      bool toTrash, IUserPrompt& prompt);

} // namespace mw
