// Running the programs in tools/ through the platform's process runner.
#include "ToolRun.h"

#include "platform/ProcessRunner.h"

namespace mw::test {
namespace {

class CapturingOutput : public IProcessOutput
{
public:
    explicit CapturingOutput(ToolResult& result) : m_result(result) {}
    void OnOutput(const std::string& chunk, bool error) override { (error ? m_result.err : m_result.out) += chunk; }
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
};

} // namespace

std::string ToolsFolder() { return std::string(MW_TOOLS_BIN_DIR) + "/"; }

ToolResult RunToolCommand(const std::string& commandLine, const std::string& folder)
{
    ToolResult result;
    ProcessRunner runner(ToolsFolder());
    CapturingOutput output(result);
    ProcessOutcome outcome;
    result.started = runner.Run(commandLine, folder.empty() ? nullptr : folder.c_str(), output, outcome);
    output.DropCarriageReturns();
    if (result.started)
        result.exitCode = int(outcome.exitCode);
    return result;
}

} // namespace mw::test
