// Where the Toolset files are, and the desktop's PDF viewer.
#include "ToolsetFiles.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/ProcessRunner.h"

namespace mw {
namespace {

class CollectOutput : public IProcessOutput
{
public:
    void OnOutput(const std::string& chunk, bool error) override
    {
        if (!error)
            text += chunk;
    }
    std::string text;
};

} // namespace

std::string ToolsetFilePath(const std::string& startFolder, const std::string& toolsFolder,
                            const std::string& dataFolder, const std::string& name)
{
    std::string inStart = WithTrailingSeparator(startFolder) + name;
    if (IsFile(inStart))
        return inStart;
    for (const std::string& folder : {toolsFolder, dataFolder})
    {
        if (folder.empty())
            continue;
        std::string candidate = WithTrailingSeparator(folder) + name;
        if (IsFile(candidate))
            return candidate;
    }
    return inStart;
}

bool HasPdfViewer()
{
    // The desktop's own registry of default applications answers.
    ProcessRunner runner{std::string()};
    CollectOutput output;
    ProcessOutcome outcome;
    if (!runner.Run("xdg-mime query default application/pdf", nullptr, output, outcome))
        return false;
    if (outcome.exitCode != 0)
        return false;
    for (char c : output.text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t')
            return true;
    return false;
}

} // namespace mw
