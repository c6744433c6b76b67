// The tool context one asset compile is handed when the build cache is on:
// the compiler run is looked up in the cache first (its output is then
// written from the entry and the compiler is not started), and a compiled
// output is stored after a successful build.
#pragma once

#include "BuildCacheKey.h"
#include "context/IToolContext.h"

#include <string>

namespace mw {

class Asset;
class BuildCache;

class CachingToolContext final : public IToolContext
{
public:
    // Lines and compiler runs go to context (the build's, or a compile's
    // beside others); keys are made relative to folders.
    CachingToolContext(IToolContext& context, const BuildFolders& folders, BuildCache& cache, const Asset& asset,
                       const std::string& assetPath, const std::string& outputPath);

    // After the asset's Build: stores what its one compiler run produced when
    // the build succeeded. A build with more than one run, or none (a copy),
    // is not cached.
    void Finish(bool built);

    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) override;
    void Log(const std::string& text, bool line, bool error) override;
    std::string GetSourceDir() const override;
    std::string GetToolsDir() const override;
    std::string GetMAXServer() const override;
    std::string GetShaderAsmDir() const override;
    int GetExportStatistics() const override;
    std::string GetStatisticsDir() const override;

private:
    IToolContext& m_context;
    const BuildFolders& m_folders;
    BuildCache& m_cache;
    const Asset& m_asset;
    std::string m_assetPath;
    std::string m_outputPath;
    int m_runs = 0;
    std::string m_key; // set when the run's output may be stored
    uint32_t m_exitCode = 0;
};

} // namespace mw
