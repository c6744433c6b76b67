// Files in conflict, kept out of builds.
#include "ConflictedFiles.h"

#include "context/IWorkspaceContext.h"
#include "platform/PathRules.h"
#include "platform/sourcecontrol/SourceControlClient.h"

#include <algorithm>

namespace mw {
namespace {

std::string Key(const std::string& path) { return ToLowerAscii(ToForwardSlashes(path)); }

} // namespace

ConflictedFiles::ConflictedFiles(IWorkspaceContext& context, const std::string& folder)
    : m_context(context), m_folder(ToForwardSlashes(folder))
{
    if (!m_folder.empty() && m_folder.back() != '/')
        m_folder += '/';
    std::vector<std::string> paths;
    context.SourceControl().GetConflictedFiles(m_folder, paths);
    for (const std::string& path : paths)
        m_paths.insert(Key(path));
}

bool ConflictedFiles::Contains(const std::string& path) const { return m_paths.count(Key(path)) != 0; }

int ConflictedFiles::Exclude(std::vector<std::string>& files) const
{
    if (m_paths.empty())
        return 0;
    int excluded = 0;
    auto kept = std::remove_if(files.begin(), files.end(), [&](const std::string& file) {
        std::string path = m_folder + ToForwardSlashes(file);
        if (!Contains(path))
            return false;
        Report(path);
        ++excluded;
        return true;
    });
    files.erase(kept, files.end());
    return excluded;
}

void ConflictedFiles::Report(const std::string& path) const
{
    m_context.Log(Format("Error: %s is in conflict; merge the changes into it and resolve it before it is built",
                         ToForwardSlashes(path).c_str()),
                  true, true);
}

} // namespace mw
