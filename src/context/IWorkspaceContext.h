// The wider context that whole-workspace operations are handed: folders, the
// mod, source control, the cancel event, the operation frame, the
// open-archive slot and the prompt. The application implements it; tests
// hand in a double.
#pragma once

#include "IToolContext.h"
#include "IUserPrompt.h"
#include "platform/KnownFolders.h"
#include "platform/ProcessRunner.h"

#include <memory>
#include <string>

namespace mw {

class DbArchive;
class SourceControlClient;
class SourceControlLog;

class IWorkspaceContext : public IToolContext
{
public:
    // Folders end in a separator.
    virtual std::string GetWorkingDir() const = 0;
    virtual std::string GetBuildDir() const = 0;
    // Empty when no custom map is selected.
    virtual std::string GetCurrentModName() const = 0;
    virtual SourceControlClient& SourceControl() = 0;
    // The log to hand back to source control after an operation detached it:
    // the main frame's, or null without one.
    virtual SourceControlLog* MainFrameLog() = 0;

    virtual bool IsCancelled() const = 0;
    virtual void RequestCancel() = 0;
    // False when the event could not be reset.
    virtual bool ResetCancel() = 0;
    virtual void BeginOperation() = 0;
    virtual void EndOperation() = 0;

    // At most one open database archive.
    virtual std::unique_ptr<DbArchive>& ArchiveSlot() = 0;
    virtual IUserPrompt& Prompt() = 0;
    // True when builds log, for each file they rebuild, why.
    virtual bool ExplainRebuilds() const { return false; }

    // Runs a command line as RunTool does, but hands what the program writes
    // to output instead of the log, and ends the program when output asks to
    // stop. Parallel builds call it from several threads at once.
    virtual bool RunToolInto(const std::string& commandLine, const char* folder, IProcessOutput& output,
                             ProcessOutcome& outcome)
    {
        return ProcessRunner(ExecutableFolder()).Run(commandLine, folder, output, outcome);
    }

    // "" or "CustomMaps/" + mod name + "/".
    std::string GetModPrefix() const
    {
        std::string mod = GetCurrentModName();
        return mod.empty() ? std::string() : "CustomMaps/" + mod + "/";
    }

protected:
    ~IWorkspaceContext() = default;
};

} // namespace mw
