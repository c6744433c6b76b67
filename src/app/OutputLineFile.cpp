// Finding the file an output line names.
#include "OutputLineFile.h"

#include "context/IWorkspaceContext.h"
#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <vector>

namespace mw {
namespace {

// A line that names a file: the text before the name and, when the name does
// not run to the end of the line, the text after it.
struct LineForm
{
    const char* before;
    const char* after;
    bool anywhere; // the text before may stand anywhere in the line
};

// "Found reference in variable \"v\" of file \"x\"." and its kin name the
// file last; the others start with what comes before the name.
const LineForm kForms[] = {
    {" of file \"", "\"", true},
    {"File \"", "\"", false},
    {"Updated references in \"", "\"", false},
    {"Checkout Error for file: ", " (Error ", false},
    {"Checkin Error for file: ", nullptr, false},
    {"File ", " checked out by another user", false},
};

} // namespace

std::string FileNameInOutputLine(const std::string& line)
{
    for (const LineForm& form : kForms)
    {
        std::string before = form.before;
        size_t at = form.anywhere ? line.rfind(before) : (line.rfind(before, 0) == 0 ? 0 : std::string::npos);
        if (at == std::string::npos)
            continue;
        size_t start = at + before.size();
        size_t end = form.after ? line.find(form.after, start) : line.size();
        if (end == std::string::npos || end == start)
            continue;
        return line.substr(start, end - start);
    }
    return std::string();
}

std::string FileOfOutputLine(IWorkspaceContext& context, const std::string& line)
{
    std::string name = ToForwardSlashes(FileNameInOutputLine(line));
    if (name.empty())
        return std::string();
    std::string working = context.GetWorkingDir();
    std::string mod = context.GetCurrentModName();
    std::vector<std::string> candidates{working + name};
    if (!mod.empty())
        candidates.push_back(working + "CustomMaps/" + mod + "/database/" + name);
    candidates.push_back(working + "database/" + name);
    for (const std::string& candidate : candidates)
        if (IsFile(candidate))
            return candidate;
    return std::string();
}

} // namespace mw
