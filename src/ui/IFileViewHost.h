// What a tab's file and folder view needs of the main window: the
// application, the prompt, the worker commands and opening files.
#pragma once

#include "app/SourceControlBatch.h"

#include <string>
#include <vector>

namespace mw {

class CModwrightApp;
class IUserPrompt;

class IFileViewHost
{
public:
    virtual CModwrightApp& App() = 0;
    virtual IUserPrompt& Prompt() = 0;
    virtual bool IsBusy() const = 0;
    // Whether the operation behind a command exists in this build.
    virtual bool IsCommandAvailable(int id) const = 0;
    // The worker commands the views start (paths relative to the working folder).
    virtual void RunBatch(BatchAction action, const std::vector<std::string>& paths) = 0;
    virtual void BuildFolder(bool database, const std::string& folder) = 0;
    virtual void AddFilesRecursively(const std::string& folder) = 0;
    // Opens a file (relative path) in its editor.
    virtual void OpenFile(const std::string& path) = 0;

protected:
    ~IFileViewHost() = default;
};

} // namespace mw
