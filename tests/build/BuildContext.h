// A workspace double for build tests: every tool run is recorded (command
// line and folder) and answered by a script, or run for real.
#pragma once

#include "support/FakeWorkspace.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace mw {
class CompilerWorkers;
}

namespace mw::test {

struct ToolRun
{
    std::string commandLine;
    std::string folder; // "(none)" when run in the tool's own folder
};

class BuildContext : public FakeWorkspace
{
public:
    BuildContext(const std::string& workingDir, const std::string& buildDir, const std::string& toolsDir)
        : FakeWorkspace(workingDir, buildDir), m_toolsDir(toolsDir)
    {
    }

    bool RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder) override;
    // Parallel builds run here: recorded and answered like RunTool (the
    // script one run at a time), the output going to output.
    bool RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                     ProcessOutcome& outcome) override;
    std::string GetToolsDir() const override { return m_toolsDir; }
    // Ends in a backslash, as the application's does.
    std::string GetSourceDir() const override { return GetWorkingDir() + "source\\"; }
    int GetExportStatistics() const override { return exportStatistics; }

    // The recorded command lines, in order.
    std::vector<std::string> CommandLines() const;

    std::vector<ToolRun> runs;
    // Decides a run's outcome (false: could not start); every run starts and
    // ends with 0 when unset.
    std::function<bool(const std::string& commandLine, uint32_t& exitCode)> onRun;
    // Runs the programs for real (output logged like the application's).
    bool realRuns = false;
    // The workers real runs go through (none: a process each).
    CompilerWorkers* workers = nullptr;
    int exportStatistics = 0;

private:
    bool RunReally(const std::string& commandLine, const char* folder, IProcessOutput& output,
                   ProcessOutcome& outcome) const;

    std::string m_toolsDir;
    std::mutex m_runMutex;
};

} // namespace mw::test
