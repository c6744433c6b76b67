// A workspace double for operation tests: real folders and the local source
// control backend (or one a test hands in), log lines collected in memory.
#pragma once

#include "ScriptedPrompt.h"
#include "context/IWorkspaceContext.h"
#include "platform/ManualResetEvent.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mw::test {

struct LogLine
{
    std::string text;
    bool line;
    bool error;
};

class FakeWorkspace : public IWorkspaceContext
{
public:
    FakeWorkspace(const std::string& workingDir, const std::string& buildDir);
    ~FakeWorkspace();

    bool RunTool(const std::string&, uint32_t& exitCode, const char*) override;
    void Log(const std::string& text, bool line, bool error) override;
    std::string GetSourceDir() const override { return m_workingDir + "source/"; }
    std::string GetToolsDir() const override { return std::string(); }
    std::string GetMAXServer() const override { return std::string(); }
    std::string GetShaderAsmDir() const override { return std::string(); }
    int GetExportStatistics() const override { return 0; }

    std::string GetWorkingDir() const override { return m_workingDir; }
    std::string GetBuildDir() const override { return m_buildDir; }
    std::string GetCurrentModName() const override { return modName; }
    SourceControlClient& SourceControl() override { return m_sourceControl; }
    SourceControlLog* MainFrameLog() override { return frameLog; }
    bool IsCancelled() const override { return cancel.IsSet(); }
    void RequestCancel() override { cancel.Set(); }
    bool ResetCancel() override { return cancel.Reset(); }
    void BeginOperation() override { ++beginCount; }
    void EndOperation() override { ++endCount; }
    std::unique_ptr<DbArchive>& ArchiveSlot() override { return m_archive; }
    IUserPrompt& Prompt() override { return prompt; }

    // All logged texts, one per message.
    std::vector<std::string> Texts() const;
    bool HasLine(const std::string& text) const;
    int ErrorLineCount() const;

    std::vector<LogLine> log;
    ScriptedPrompt prompt;
    ManualResetEvent cancel;
    std::string modName;
    SourceControlLog* frameLog = nullptr;
    int beginCount = 0;
    int endCount = 0;
    // Called before each log line is stored (a test can cancel mid-run).
    std::function<void(const std::string&)> onLog;

private:
    std::string m_workingDir;
    std::string m_buildDir;
    SourceControlClient m_sourceControl;
    std::unique_ptr<DbArchive> m_archive;
};

} // namespace mw::test
