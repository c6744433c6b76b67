// Build cache keys.
#include "BuildCacheKey.h"

#include "Asset.h"
#include "buildcache/BuildCache.h"
#include "buildcache/Sha256.h"
#include "context/IWorkspaceContext.h"
#include "platform/CommandLine.h"
#include "platform/FileSystem.h"
#include "platform/KnownFolders.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace mw {
namespace {

// Changes whenever the key's recipe or the entry layout changes, so that old
// entries are never taken for new ones.
constexpr const char* kKeyVersion = "modwright build cache key 1";

// Each part is its name, its length and its bytes, so no two different lists
// of parts hash alike.
void AddPart(Sha256& hash, const std::string& name, const std::string& value)
{
    hash.Update(name + " " + std::to_string(value.size()) + ":");
    hash.Update(value);
    hash.Update("\n");
}

bool HasParentComponent(const std::string& path)
{
    for (const std::string& component : SplitText(ToForwardSlashes(path), '/'))
        if (component == "..")
            return true;
    return false;
}

} // namespace

BuildFolders BuildFolders::Of(const IWorkspaceContext& context)
{
    return BuildFolders{context.GetBuildDir(), context.GetSourceDir(), context.GetToolsDir(), context.GetWorkingDir()};
}

std::string RelativeCommandLine(const BuildFolders& folders, const std::string& commandLine)
{
    std::vector<std::pair<std::string, std::string>> placeholders = {
        {folders.build, "<build>/"},
        {folders.source, "<source>/"},
        {folders.tools, "<tools>/"},
        {folders.working, "<work>/"},
    };
    std::stable_sort(placeholders.begin(), placeholders.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });
    std::string text;
    size_t pos = 0;
    while (pos < commandLine.size())
    {
        bool replaced = false;
        for (const auto& [folder, placeholder] : placeholders)
        {
            if (folder.size() < 2 || commandLine.compare(pos, folder.size(), folder) != 0)
                continue;
            text += placeholder;
            pos += folder.size();
            replaced = true;
            break;
        }
        if (!replaced)
            text += commandLine[pos++];
    }
    return text;
}

std::string ComputeBuildCacheKey(const BuildFolders& folders, BuildCache& cache, const Asset& asset,
                                 const std::string& assetPath, const std::string& outputPath,
                                 const std::string& commandLine)
{
    const std::string& buildDir = folders.build;
    if (buildDir.size() < 2 || outputPath.compare(0, buildDir.size(), buildDir) != 0 ||
        HasParentComponent(outputPath))
        return std::string();
    std::vector<std::string> arguments = SplitCommandLine(commandLine);
    if (arguments.empty())
        return std::string();
    std::string compiler = ProcessRunner(ExecutableFolder()).FindProgram(arguments[0], CurrentFolder());
    std::string compilerHash = compiler.empty() ? std::string() : cache.HashOfFile(compiler);
    std::string assetHash = cache.HashOfFile(assetPath);
    if (compilerHash.empty() || assetHash.empty())
        return std::string();

    Sha256 hash;
    hash.Update(kKeyVersion);
    hash.Update("\n");
    AddPart(hash, "type", asset.GetName());
    AddPart(hash, "asset", assetHash);
    AddPart(hash, "compiler", compilerHash);
    AddPart(hash, "command", RelativeCommandLine(folders, commandLine));
    const std::string& sourceDir = folders.source;
    for (int i = 0; i < asset.GetSourceCount(); ++i)
    {
        std::optional<std::string> source = asset.GetSourceFile(i);
        if (!source || source->empty())
            continue;
        std::string sourceHash = cache.HashOfFile(sourceDir + *source);
        if (sourceHash.empty())
            return std::string();
        AddPart(hash, "source " + std::to_string(i), sourceHash);
    }
    // Files the command line names beyond the slots: animation frames, the
    // data exported from a scene, a MIF file given as a path.
    for (size_t i = 1; i < arguments.size(); ++i)
    {
        // The statistics file grows with every compile of the build: it is
        // the compiler's log, not an input.
        if (arguments[i] == outputPath || arguments[i] == asset.GetStatisticsFile() || !IsFile(arguments[i]))
            continue;
        std::string fileHash = cache.HashOfFile(arguments[i]);
        if (fileHash.empty())
            return std::string();
        AddPart(hash, "argument " + std::to_string(i), fileHash);
    }
    return Sha256::Hex(hash.Finish());
}

} // namespace mw
