// The file an output pane line names, so that a double-click can open it:
// the "Found reference" lines of the reference tools, the lines of the check
// and sync tools and of check-outs and check-ins that name a file, and the
// lines of a reference update.
#pragma once

#include <string>

namespace mw {

class IWorkspaceContext;

// The name as the line gives it ("" when the line names no file): relative
// to the working folder or to a database folder, with either separator.
std::string FileNameInOutputLine(const std::string& line);

// The full path of the existing file the line names, tried relative to the
// working folder, to the selected mod's database folder and to the working
// folder's database folder, in that order; "" when none exists.
std::string FileOfOutputLine(IWorkspaceContext& context, const std::string& line);

} // namespace mw
