// Output paths are the build folder, the mod prefix, "resources/" and the
// asset's path below its "assets/" folder; the asset is found by turning that
// back.
#include "BuildLineAsset.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

namespace mw {

std::string AssetOfBuildLine(IWorkspaceContext& context, const std::vector<std::string>& lines)
{
    const std::string buildDir = context.GetBuildDir();
    if (buildDir.empty())
        return std::string();
    for (size_t i = lines.size(); i-- > 0;)
    {
        bool inside = false;
        std::string relative = ToForwardSlashes(StripPathPrefix(lines[i], buildDir, &inside));
        if (!inside)
            continue;
        std::string lowered = ToLowerAscii(relative);
        size_t resources = lowered.find("resources/");
        if (resources != 0 && (resources == std::string::npos || relative[resources - 1] != '/'))
            continue;
        std::string asset = relative.substr(0, resources) + "assets/" + relative.substr(resources + 10);
        return IsFile(context.GetWorkingDir() + asset) ? asset : std::string();
    }
    return std::string();
}

} // namespace mw
