// One asset compile's own log and program runs.
#include "AssetJobContext.h"

#include "ProgramSlots.h"
#include "context/IWorkspaceContext.h"
#include "platform/ProcessRunner.h"

namespace mw {

AssetJobContext::AssetJobContext(IWorkspaceContext& build, OnStop onStop)
    : m_build(build), m_sourceDir(build.GetSourceDir()), m_toolsDir(build.GetToolsDir()),
      m_maxServer(build.GetMAXServer()), m_shaderAsmDir(build.GetShaderAsmDir()),
      m_exportStatistics(build.GetExportStatistics()), m_statisticsDir(build.GetStatisticsDir()),
      m_onStop(onStop)
{
}

AssetJobContext::AssetJobContext(const AssetJobContext& settings, OnStop onStop)
    : m_build(settings.m_build), m_sourceDir(settings.m_sourceDir), m_toolsDir(settings.m_toolsDir),
      m_maxServer(settings.m_maxServer), m_shaderAsmDir(settings.m_shaderAsmDir),
      m_exportStatistics(settings.m_exportStatistics), m_statisticsDir(settings.m_statisticsDir), m_onStop(onStop),
      m_programSlots(settings.m_programSlots)
{
}

bool AssetJobContext::RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder)
{
    // What the program writes goes into this job's lines; Stop ends it.
    struct JobOutput : IProcessOutput
    {
        explicit JobOutput(AssetJobContext& job) : job(job) {}
        void OnOutput(const std::string& chunk, bool error) override { job.Log(chunk, true, error); }
        bool StopRequested() override { return job.EndsOnStop() && job.m_build.IsCancelled(); }
        AssetJobContext& job;
    } output(*this);
    exitCode = 0;
    // A job whose build goes on after Stop (a scene export, then the
    // compiler) starts no further program; the exit code marks a failure.
    if (EndsOnStop() && (m_stopped || m_build.IsCancelled()))
    {
        m_stopped = true;
        exitCode = 1;
        return true;
    }
    ProgramSlots::Held slot(m_programSlots);
    // Stop while waiting for the slot: the program is not started.
    if (EndsOnStop() && m_build.IsCancelled())
    {
        m_stopped = true;
        exitCode = 1;
        return true;
    }
    ProcessOutcome outcome;
    if (!m_build.RunToolInto(commandLine, folder, output, outcome))
        return false;
    if (outcome.stopped)
        m_stopped = true;
    else if (outcome.endedEarly)
        Log("Early termination of application", true, false);
    exitCode = outcome.stopped && outcome.exitCode == 0 ? 1 : outcome.exitCode;
    return true;
}

void AssetJobContext::Log(const std::string& text, bool line, bool error) { m_lines.push_back({text, line, error}); }

void AssetJobContext::HandOnLines()
{
    for (const LogLine& line : m_lines)
        m_build.Log(line.text, line.line, line.error);
    m_lines.clear();
}

} // namespace mw
