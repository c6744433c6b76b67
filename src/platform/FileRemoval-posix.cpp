// POSIX removal with errno kept for the caller.
#include "FileRemoval.h"

#include "FileSystem.h"
#include "FolderNameCache.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {
namespace {

RemovalOutcome Outcome(bool ok, int error)
{
    RemovalOutcome outcome;
    outcome.removed = ok;
    if (!ok)
    {
        outcome.errorCode = error;
        outcome.accessDenied = error == EACCES || error == EPERM || error == EROFS;
    }
    return outcome;
}

} // namespace

RemovalOutcome RemoveFileReporting(const std::string& path)
{
    std::string native = ResolvePath(path);
    bool ok = ::unlink(native.c_str()) == 0;
    int error = errno;
    FolderNameCache::Shared().NoteRemoved(native);
    return Outcome(ok, error);
}

RemovalOutcome RemoveEmptyFolderReporting(const std::string& path)
{
    std::string native = ResolvePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    bool ok = ::rmdir(native.c_str()) == 0;
    int error = errno;
    FolderNameCache::Shared().NoteRemoved(native);
    return Outcome(ok, error);
}

bool IsSymbolicLink(const std::string& path)
{
    std::string native = ResolvePath(path);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    struct stat info;
    return ::lstat(native.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace mw
