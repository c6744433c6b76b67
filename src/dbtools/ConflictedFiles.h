// The files of a folder that a sync left in conflict. Such a file holds
// neither user's version: a build never compiles or packs it, and counts it
// as an error until the user resolves it.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;

class ConflictedFiles
{
public:
    // Asks source control (the working copy alone) about the files below
    // folder, relative to the working folder.
    ConflictedFiles(IWorkspaceContext& context, const std::string& folder);

    bool Empty() const { return m_paths.empty(); }
    // path: relative to the working folder, either separator, any letter case.
    bool Contains(const std::string& path) const;
    // Takes the files in conflict out of files (paths relative to folder, as
    // given to the constructor), logging an error naming each; their number.
    int Exclude(std::vector<std::string>& files) const;
    // Logs the error for one file in conflict.
    void Report(const std::string& path) const;

private:
    IWorkspaceContext& m_context;
    std::string m_folder;
    std::set<std::string> m_paths; // lower-case, "/"-separated
};

} // namespace mw
