// Windows removal with the system's error code kept for the caller.
#include "FileRemoval.h"

#include "PathRules.h"
#include "WideText-win32.h"

#include <windows.h>

namespace mw {
namespace {

RemovalOutcome Outcome(bool ok)
{
    RemovalOutcome outcome;
    outcome.removed = ok;
    if (!ok)
    {
        DWORD error = ::GetLastError();
        NoteError(error);
        outcome.errorCode = int(error);
        outcome.accessDenied = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                               error == ERROR_WRITE_PROTECT || error == ERROR_LOCK_VIOLATION;
    }
    return outcome;
}

std::wstring Trimmed(const std::string& path)
{
    std::string trimmed = path;
    while (trimmed.size() > 1 && IsSeparator(trimmed.back()) && trimmed[trimmed.size() - 2] != ':')
        trimmed.pop_back();
    return NativePath(trimmed);
}

} // namespace

RemovalOutcome RemoveFileReporting(const std::string& path) { return Outcome(::DeleteFileW(NativePath(path).c_str())); }

RemovalOutcome RemoveEmptyFolderReporting(const std::string& path)
{
    return Outcome(::RemoveDirectoryW(Trimmed(path).c_str()));
}

bool IsSymbolicLink(const std::string& path)
{
    DWORD attributes = ::GetFileAttributesW(Trimmed(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

} // namespace mw
