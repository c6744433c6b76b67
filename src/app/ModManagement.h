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

// Deletes the mod's trees below the working folder and the build folder
// (nothing on the source-control server). False when a tree that exists
// could not be removed whole. An empty or unsafe name deletes nothing.
bool DeleteModFolders(const std::string& workingDir, const std::string& buildDir, const std::string& modName);

} // namespace mw
