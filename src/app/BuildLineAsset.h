// The asset a line of a build's output belongs to: a build writes each
// compiled output's path on a line of its own, followed by what the compiler
// printed, so a compiler's error line belongs to the output line above it.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

// The asset file (relative to the working folder) whose build wrote the
// last of lines that names an output below the build folder's resources;
// "" when no such line comes before the end, or the asset file is gone.
// lines runs from the top of the pane down to the clicked line.
std::string AssetOfBuildLine(IWorkspaceContext& context, const std::vector<std::string>& lines);

} // namespace mw
