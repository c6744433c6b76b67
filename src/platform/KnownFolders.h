// Folders the OS knows for the user and the process.
#pragma once

#include <string>

namespace mw {

// The user's documents folder ("My Documents"): the XDG documents folder, or
// Documents in the home folder ($HOME, else the password database's). No
// trailing separator; empty when the user has no home folder.
std::string DocumentsFolder();
// The process's current folder, as the system returns it.
std::string CurrentFolder();
// The folder that holds the running executable.
std::string ExecutableFolder();

} // namespace mw
