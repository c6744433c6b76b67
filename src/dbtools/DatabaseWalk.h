// The walk of a database folder shared by the whole-database tools: every
// file, recursively, with the cancel event tested before each file and folder.
#pragma once

#include <functional>
#include <string>

namespace mw {

class IWorkspaceContext;

struct WalkResult
{
    int errors = 0;
    bool cancelled = false;
};

// Calls visit with each file's full path; counts false results.
WalkResult WalkDatabaseFolder(IWorkspaceContext& context, const std::string& folder,
                              const std::function<bool(const std::string& path)>& visit);

// Helpers for the paths the tools report.
// The path without the leading working folder (as many characters as it has).
std::string SourceControlPathOf(IWorkspaceContext& context, const std::string& fullPath);
// The path without the first occurrence of the working folder followed, when
// a custom map is selected, by "CustomMaps/" + map + "/".
std::string RootRelativePath(IWorkspaceContext& context, const std::string& fullPath);
// '/' made '\' and the first "database\" removed.
std::string DatabaseRelativePath(const std::string& path);
// True when the last three characters are exactly the extension given.
bool HasLastThree(const std::string& path, const char* extension);

// Detaches the source-control client's log for a scope and hands it the main
// frame's log again on the way out.
class ScopedSourceControlLogDetach
{
public:
    explicit ScopedSourceControlLogDetach(IWorkspaceContext& context);
    ~ScopedSourceControlLogDetach();
    ScopedSourceControlLogDetach(const ScopedSourceControlLogDetach&) = delete;
    ScopedSourceControlLogDetach& operator=(const ScopedSourceControlLogDetach&) = delete;

private:
    IWorkspaceContext& m_context;
};

} // namespace mw
