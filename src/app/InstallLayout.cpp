// The installed layout of the tool's programs and data folders.
#include "InstallLayout.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

namespace {

std::string WithSlash(const std::string& folder)
{
    return folder.empty() || IsSeparator(folder.back()) ? folder : folder + "/";
}

} // namespace

InstallLayout FindInstallLayout(const std::string& programFolder)
{
    std::string folder = programFolder;
    while (folder.size() > 1 && IsSeparator(folder.back()))
        folder.pop_back();
    std::string own = WithSlash(folder);
    InstallLayout layout{own, own};
    if (folder.empty())
        return layout;
    std::string prefix = WithSlash(ParentPath(folder));
    std::string helpers = prefix + "lib/modwright/";
    if (!HoldsCompilers(own) && IsFolder(helpers))
        layout.helperFolder = helpers;
    std::string data = prefix + "share/modwright/";
    if (!IsFolder(own + "Toolset") && IsFolder(data))
        layout.dataFolder = data;
    return layout;
}

bool HoldsCompilers(const std::string& folder)
{
    if (folder.empty())
        return false;
    std::string base = WithSlash(folder);
    return IsFile(base + "TexForge") || IsFile(base + "TexForge.exe");
}

} // namespace mw
