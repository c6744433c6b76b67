// The advanced folder dialog's rules: file masks, the files of a folder that
// source control does not know, and adding them one by one.
#pragma once

#include <string>
#include <vector>

namespace mw {

class IWorkspaceContext;
class SourceControlClient;

// "*" matches any run of characters, "?" one character; letters match
// without regard to case; several masks may be separated by ";".
bool MatchesFileMask(const std::string& name, const std::string& mask);

// The files of the folder (relative, ending in "/") whose names match the
// mask, as paths relative to the working folder.
std::vector<std::string> FilesMatchingMask(SourceControlClient& sourceControl, const std::string& folder,
                                           const std::string& mask);

// The names of the files on disk in the folder that source control does not know (status 1).
std::vector<std::string> FilesNotUnderSourceControl(SourceControlClient& sourceControl, const std::string& folder);

// Adds the files in order; the first failure shows "Error adding '%s'." and
// stops. The number added.
size_t AddFilesUntilFailure(IWorkspaceContext& context, const std::vector<std::string>& paths);

} // namespace mw
