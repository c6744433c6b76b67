// Removing files and folders with the reason of a failure, and telling
// symbolic links apart, for clean-ups that must report what they could not
// delete and must never reach through a link.
#pragma once

#include <string>

namespace mw {

struct RemovalOutcome
{
    bool removed = false;
    // The platform refused for lack of permission.
    bool accessDenied = false;
    // The platform's error number of a failure.
    int errorCode = 0;
};

RemovalOutcome RemoveFileReporting(const std::string& path);
RemovalOutcome RemoveEmptyFolderReporting(const std::string& path);

// True when the path itself (not what it points to) is a symbolic link.
bool IsSymbolicLink(const std::string& path);

} // namespace mw
