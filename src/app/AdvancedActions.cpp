// Rules of the advanced folder dialog.
#include "AdvancedActions.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

namespace mw {
namespace {

bool MatchesOne(std::string_view name, std::string_view mask)
{
    // Iterative wildcard match with one back-tracking point for the last "*".
    size_t n = 0, m = 0, star = std::string_view::npos, resume = 0;
    while (n < name.size())
    {
        if (m < mask.size() && (mask[m] == '?' || LowerAscii(mask[m]) == LowerAscii(name[n])))
        {
            ++n;
            ++m;
        }
        else if (m < mask.size() && mask[m] == '*')
        {
            star = m++;
            resume = n;
        }
        else if (star != std::string_view::npos)
        {
            m = star + 1;
            n = ++resume;
        }
        else
            return false;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace

bool MatchesFileMask(const std::string& name, const std::string& mask)
{
    if (mask.empty())
        return true;
    for (const std::string& piece : SplitText(mask, ';'))
        if (!piece.empty() && (piece == "*.*" || MatchesOne(name, piece)))
            return true;
    return false;
}

std::vector<std::string> FilesMatchingMask(SourceControlClient& sourceControl, const std::string& folder,
                                           const std::string& mask)
{
    std::vector<std::string> names;
    sourceControl.GetFiles(folder, names, 0, false, std::string());
    std::vector<std::string> paths;
    for (const std::string& name : names)
    {
        std::string shown = name.rfind(folder, 0) == 0 ? name.substr(folder.size()) : name;
        if (MatchesFileMask(shown, mask))
            paths.push_back(folder + shown);
    }
    return paths;
}

std::vector<std::string> FilesNotUnderSourceControl(SourceControlClient& sourceControl, const std::string& folder)
{
    std::vector<std::string> names;
    std::vector<FolderEntry> entries;
    if (!ListFolder(sourceControl.GetClientDirectory() + folder, entries))
        return names;
    for (const FolderEntry& entry : entries)
    {
        FileStatus status;
        if (!entry.isFolder && sourceControl.GetFileStatus(folder + entry.name, status) == 1)
            names.push_back(entry.name);
    }
    return names;
}

size_t AddFilesUntilFailure(IWorkspaceContext& context, const std::vector<std::string>& paths)
{
    size_t added = 0;
    for (const std::string& path : paths)
    {
        if (!context.SourceControl().AddFile(path))
        {
            context.Prompt().Show(Format("Error adding '%s'.", path.c_str()), "", PromptButtons::Ok,
                                  PromptIcon::Error);
            break;
        }
        ++added;
    }
    return added;
}

} // namespace mw
