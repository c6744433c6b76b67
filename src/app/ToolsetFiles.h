// The files that come with the tool in its "Toolset/" folder: the templates
// and tutorial archives and the modding guide, and whether the desktop can
// show the guide.
#pragma once

#include <string>

namespace mw {

constexpr const char* kTemplatesArchive = "Toolset/Templates.arc";
constexpr const char* kTutorialsArchive = "Toolset/Tutorials.arc";
constexpr const char* kGuideDocument = "Toolset/VX Modders Guide.PDF";

// The full path of a Toolset file (one of the names above): below the start
// folder, else below the tools folder (a build run from elsewhere), else below
// the data folder that comes with the tool (an installed tree). The start
// folder's path when none has it.
std::string ToolsetFilePath(const std::string& startFolder, const std::string& toolsFolder,
                            const std::string& dataFolder, const std::string& name);

// True when the desktop names a default application for PDF documents.
bool HasPdfViewer();

} // namespace mw
