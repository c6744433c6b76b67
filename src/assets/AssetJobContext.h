// The tool context of one asset compile that runs beside others: its log
// lines are kept until the build hands them on in its own order, and the
// programs it runs are ended as soon as the build is stopped. A job that
// packs an archive finishes after Stop instead, as the build's own packing
// of current outputs does.
#pragma once

#include "context/IToolContext.h"

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;
class ProgramSlots;

class AssetJobContext final : public IToolContext
{
public:
    // Takes the folder settings from build on the calling thread, so that
    // the job never reads them while it runs.
    enum class OnStop
    {
        End,   // programs are ended, and none is started after Stop
        Finish // programs run to their end whatever Stop says
    };

    explicit AssetJobContext(IWorkspaceContext& build, OnStop onStop = OnStop::End);
    // A job of the same build with the settings another job took, without
    // asking the build again (some settings look at the disk).
    AssetJobContext(const AssetJobContext& settings, OnStop onStop);

    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) override;
    void Log(const std::string& text, bool line, bool error) override;
    std::string GetSourceDir() const override { return m_sourceDir; }
    std::string GetToolsDir() const override { return m_toolsDir; }
    std::string GetMAXServer() const override { return m_maxServer; }
    std::string GetShaderAsmDir() const override { return m_shaderAsmDir; }
    int GetExportStatistics() const override { return m_exportStatistics; }
    std::string GetStatisticsDir() const override { return m_statisticsDir; }

    // Each program this job (and every job made from its settings) runs
    // holds one of these slots while it runs. None by default.
    void LimitPrograms(ProgramSlots* slots) { m_programSlots = slots; }

    // Passes the kept lines on to the build's log, in the order they came.
    void HandOnLines();
    // True once a program of this job was ended by Stop (or not started
    // because of it).
    bool Stopped() const { return m_stopped; }

private:
    struct LogLine
    {
        std::string text;
        bool line;
        bool error;
    };

    bool EndsOnStop() const { return m_onStop == OnStop::End; }

    IWorkspaceContext& m_build;
    std::string m_sourceDir;
    std::string m_toolsDir;
    std::string m_maxServer;
    std::string m_shaderAsmDir;
    int m_exportStatistics;
    std::string m_statisticsDir;
    std::vector<LogLine> m_lines;
    OnStop m_onStop;
    ProgramSlots* m_programSlots = nullptr;
    bool m_stopped = false;
};

} // namespace mw
