// One asset compile through the build cache.
#include "CachingToolContext.h"

#include "BuildCacheKey.h"
#include "buildcache/BuildCache.h"

namespace mw {

CachingToolContext::CachingToolContext(IToolContext& context, const BuildFolders& folders, BuildCache& cache,
                                       const Asset& asset, const std::string& assetPath, const std::string& outputPath)
    : m_context(context), m_folders(folders), m_cache(cache), m_asset(asset), m_assetPath(assetPath), m_outputPath(outputPath)
{
}

bool CachingToolContext::RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder)
{
    ++m_runs;
    if (m_runs > 1)
    {
        m_key.clear();
        return m_context.RunTool(commandLine, exitCode, folder);
    }
    std::string key = ComputeBuildCacheKey(m_folders, m_cache, m_asset, m_assetPath, m_outputPath, commandLine);
    if (key.empty())
        return m_context.RunTool(commandLine, exitCode, folder);
    auto warn = [this](const std::string& text) { m_context.Log(text, true, false); };
    uint32_t cachedExitCode = 0;
    if (m_cache.Fetch(key, m_outputPath, cachedExitCode, warn))
    {
        m_context.Log("From cache: " + m_outputPath, true, false);
        exitCode = cachedExitCode;
        return true;
    }
    if (!m_context.RunTool(commandLine, exitCode, folder))
        return false;
    m_key = key;
    m_exitCode = exitCode;
    return true;
}

void CachingToolContext::Finish(bool built)
{
    if (!built || m_runs != 1 || m_key.empty())
        return;
    m_cache.Store(m_key, m_outputPath, m_exitCode, [this](const std::string& text) { m_context.Log(text, true, false); });
}

void CachingToolContext::Log(const std::string& text, bool line, bool error) { m_context.Log(text, line, error); }
std::string CachingToolContext::GetSourceDir() const { return m_context.GetSourceDir(); }
std::string CachingToolContext::GetToolsDir() const { return m_context.GetToolsDir(); }
std::string CachingToolContext::GetMAXServer() const { return m_context.GetMAXServer(); }
std::string CachingToolContext::GetShaderAsmDir() const { return m_context.GetShaderAsmDir(); }
int CachingToolContext::GetExportStatistics() const { return m_context.GetExportStatistics(); }
std::string CachingToolContext::GetStatisticsDir() const { return m_context.GetStatisticsDir(); }

} // namespace mw
