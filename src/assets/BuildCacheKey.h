// The build cache key of one compiler run: a SHA-256 over everything that
// decides the output's bytes.
#pragma once

#include <string>

namespace mw {

class Asset;
class BuildCache;
class IWorkspaceContext;

// The workspace folders a key is made relative to, taken from the workspace
// on the build's thread so that compiles beside it never read its settings.
struct BuildFolders
{
    std::string build;
    std::string source;
    std::string tools;
    std::string working;

    static BuildFolders Of(const IWorkspaceContext& context);
};

// Hashes the asset file, every source file of its slots, every file the
// command line names (frames, exported scene data), the compiler program's
// bytes and the command line with the build, source, tools and working
// folders replaced by placeholders, so that workspaces in different places
// share entries. Empty when something it needs cannot be read, or when the
// output is not inside the build folder: such a run is not cached.
std::string ComputeBuildCacheKey(const BuildFolders& folders, BuildCache& cache, const Asset& asset,
                                 const std::string& assetPath, const std::string& outputPath,
                                 const std::string& commandLine);

// The command line with those folders replaced by "<build>/", "<source>/",
// "<tools>/" and "<work>/", longest folder first.
std::string RelativeCommandLine(const BuildFolders& folders, const std::string& commandLine);

} // namespace mw
