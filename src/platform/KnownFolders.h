// Folders the OS knows for the user and the process.
#pragma once

#include <string>

namespace mw {

// The user's documents folder ("My Documents"): the XDG documents folder, or
// $HOME/Documents. No trailing separator.
std::string DocumentsFolder();
// The process's current folder, as the system returns it.
std::string CurrentFolder();
// The folder that holds the running executable.
std::string ExecutableFolder();

} // namespace mw
