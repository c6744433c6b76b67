// Starting programs that run beside the tool without being waited for: the
// resource viewer, and the desktop's default viewer for a file.
#pragma once

#include <string>

namespace mw {

// Starts a command line (split by the same rules as the tool runner's, the
// program looked up in the current folder, then ownFolder, then PATH) in the
// background with no output to the tool; it is never waited for. False when
// the program cannot be found or started.
bool StartDetached(const std::string& commandLine, const std::string& ownFolder);

// Opens the file with the desktop's default application for its kind,
// without waiting. False when there is no desktop session or no opener.
bool OpenWithDefaultViewer(const std::string& path);

} // namespace mw
