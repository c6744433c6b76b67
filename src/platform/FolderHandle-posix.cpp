// Open folders on POSIX: a directory descriptor and fstatat.
#include "FolderHandle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

bool FolderHandle::Open(const std::string& path)
{
    Close();
    m_fd = ::open(ResolvePath(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return m_fd >= 0;
}

void FolderHandle::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool FolderHandle::Stat(const std::string& name, FileInfo& info) const
{
    struct stat status;
    if (m_fd < 0 || ::fstatat(m_fd, name.c_str(), &status, 0) != 0)
        return false;
    info.lastWrite = FileTimeFromUnix(status.st_mtim.tv_sec, status.st_mtim.tv_nsec);
    info.size = uint64_t(status.st_size);
    info.isFolder = S_ISDIR(status.st_mode);
    return true;
}

} // namespace mw
