// The build-test workspace double.
#include "BuildContext.h"

#include "platform/KnownFolders.h"
#include "platform/ProcessRunner.h"

namespace mw::test {

bool BuildContext::RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                               ProcessOutcome& outcome)
{
    {
        std::lock_guard<std::mutex> lock(m_runMutex);
        runs.push_back(ToolRun{commandLine, folder ? folder : "(none)"});
    }
    outcome = ProcessOutcome();
    if (realRuns)
        return RunReally(commandLine, folder, output, outcome);
    std::lock_guard<std::mutex> lock(m_runMutex);
    return onRun ? onRun(commandLine, outcome.exitCode) : true;
}

bool BuildContext::RunTool(const std::string& commandLine, uint32_t& exitCode, const char* folder)
{
    {
        std::lock_guard<std::mutex> lock(m_runMutex);
        runs.push_back(ToolRun{commandLine, folder ? folder : "(none)"});
    }
    exitCode = 0;
    if (realRuns)
    {
        struct LogOutput : IProcessOutput
        {
            explicit LogOutput(BuildContext& context) : context(context) {}
            void OnOutput(const std::string& chunk, bool error) override { context.Log(chunk, true, error); }
            BuildContext& context;
        } output(*this);
        ProcessOutcome outcome;
        if (!RunReally(commandLine, folder, output, outcome))
            return false;
        exitCode = outcome.exitCode;
        return true;
    }
    return onRun ? onRun(commandLine, exitCode) : true;
}

bool BuildContext::RunReally(const std::string& commandLine, const char* folder, IProcessOutput& output,
                             ProcessOutcome& outcome) const
{
    ProcessRunner runner(ExecutableFolder());
    runner.SetWorkers(workers);
    return runner.Run(commandLine, folder, output, outcome);
}

std::vector<std::string> BuildContext::CommandLines() const
{
    std::vector<std::string> lines;
    for (const ToolRun& run : runs)
        lines.push_back(run.commandLine);
    return lines;
}

} // namespace mw::test
