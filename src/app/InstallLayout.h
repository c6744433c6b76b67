// Where the programs and folders that come with the tool are, found from the
// folder of the running program, so that a build, an installed tree and the
// Windows zip all work wherever the tool is started.
#pragma once

#include <string>

namespace mw {

struct InstallLayout
{
    // The compilers, the archive tool and the other helper programs; ends in a separator.
    std::string helperFolder;
    // The folder that holds Defaults/ and Toolset/; ends in a separator.
    std::string dataFolder;
};

// The private folders of an installed tree (programFolder/../lib/modwright/
// and programFolder/../share/modwright/) where they exist, else the program's
// own folder (a build, or the Windows zip, keeps everything in one folder).
InstallLayout FindInstallLayout(const std::string& programFolder);

// True when folder holds the texture compiler, the first the build runs:
// a folder that can serve as the tools folder.
bool HoldsCompilers(const std::string& folder);

} // namespace mw
