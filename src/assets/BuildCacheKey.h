// The build cache key of one compiler run: a SHA-256 over everything that
// decides the output's bytes.
#pragma once

#include <string>

namespace mw {

class Asset;
class BuildCache;
class IWorkspaceContext;

// Hashes the asset file, every source file of its slots, every file the
// command line names (frames, exported scene data), the compiler program's
// bytes and the command line with the build, source, tools and working
// folders replaced by placeholders, so that workspaces in different places
// share entries. Empty when something it needs cannot be read, or when the
// output is not inside the build folder: such a run is not cached.
std::string ComputeBuildCacheKey(IWorkspaceContext& context, BuildCache& cache, const Asset& asset,
                                 const std::string& assetPath, const std::string& outputPath,
                                 const std::string& commandLine);

// The command line with those folders replaced by "<build>/", "<source>/",
// "<tools>/" and "<work>/", longest folder first.
std::string RelativeCommandLine(const IWorkspaceContext& context, const std::string& commandLine);

} // namespace mw
