// Running the programs in tools/ through the platform's process runner.
#include "ToolRun.h"

#include "platform/ProcessRunner.h"

#include <chrono>

namespace mw::test {
namespace {

class CapturingOutput : public IProcessOutput
{
public:
    explicit CapturingOutput(ToolResult& result, int seconds = 0)
        : m_result(result), m_deadline(std::chrono::steady_clock::now() + std::chrono::seconds(seconds)),
          m_limited(seconds > 0)
    {
    }
    void OnOutput(const std::string& chunk, bool error) override { (error ? m_result.err : m_result.out) += chunk; }
    bool StopRequested() override
    {
        if (m_limited && std::chrono::steady_clock::now() > m_deadline)
            m_result.timedOut = true;
        return m_result.timedOut;
    }
    // The programs' text output ends its lines with CR LF on Windows; the
    // tests compare the lines.
    void DropCarriageReturns()
    {
#ifdef _WIN32
        for (std::string* text : {&m_result.out, &m_result.err})
        {
            std::string kept;
            for (size_t i = 0; i < text->size(); ++i)
                if ((*text)[i] != '\r' || i + 1 == text->size() || (*text)[i + 1] != '\n')
                    kept += (*text)[i];
            *text = kept;
        }
#endif
    }

private:
    ToolResult& m_result;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_limited;
};

ToolResult Run(const std::string& commandLine, const std::string& folder, int seconds)
{
    ToolResult result;
    ProcessRunner runner(ToolsFolder());
    CapturingOutput output(result, seconds);
    ProcessOutcome outcome;
    result.started = runner.Run(commandLine, folder.empty() ? nullptr : folder.c_str(), output, outcome);
    output.DropCarriageReturns();
    if (result.started)
        result.exitCode = int(outcome.exitCode);
    return result;
}

} // namespace

std::string ToolsFolder() { return std::string(MW_TOOLS_BIN_DIR) + "/"; }

ToolResult RunToolCommand(const std::string& commandLine, const std::string& folder)
{
    return Run(commandLine, folder, 0);
}

ToolResult RunLimitedToolCommand(const std::string& commandLine, const std::string& folder, size_t memoryMiB,
                                 int seconds)
{
#if defined(_WIN32) || defined(MW_SANITIZED_TOOLS)
    (void)memoryMiB;
    return Run(commandLine, folder, seconds);
#else
    // The shell sets the limit and replaces itself by the program, which
    // keeps the limit; the command line's arguments follow as "$0" "$@".
    return Run("/bin/sh -c \"ulimit -v " + std::to_string(memoryMiB * 1024) + " && exec \\\"$0\\\" \\\"$@\\\"\" " +
                   commandLine,
               folder, seconds);
#endif
}

} // namespace mw::test
