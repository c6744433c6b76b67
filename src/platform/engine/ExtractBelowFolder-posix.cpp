// POSIX extraction below a folder: every step goes through an open folder
// handle with O_NOFOLLOW, so a link planted in the destination tree (even
// while we run) cannot redirect a write outside it.
#include "ExtractBelowFolder.h"

#include "../FileSystem.h"
#include "../FolderNameCache.h"
#include "../FileTime.h"
#include "../PathRules.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace GAME {
namespace {

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void Reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

// The existing entry of folderFd whose name equals name ignoring ASCII case;
// name itself when there is none.
std::string MatchNoCase(int folderFd, const std::string& name)
{
    struct stat info;
    if (::fstatat(folderFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return name;
    int listFd = ::dup(folderFd);
    if (listFd < 0)
        return name;
    DIR* dir = ::fdopendir(listFd);
    if (!dir)
    {
        ::close(listFd);
        return name;
    }
    ::rewinddir(dir);
    std::string found = name;
    while (struct dirent* entry = ::readdir(dir))
    {
        if (mw::EqualsNoCase(entry->d_name, name))
        {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool WriteAll(int fd, std::string_view bytes)
{
    size_t done = 0;
    while (done < bytes.size())
    {
        ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += size_t(written);
    }
    return true;
}

} // namespace

bool WriteFileBelowFolder(const std::string& folder, const std::string& relativeName, std::string_view bytes,
                          uint64_t lastWrite, std::string& error)
{
    std::vector<std::string> parts = mw::SplitText(relativeName, '/');
    for (const std::string& part : parts)
    {
        if (part.empty() || part == "." || part == "..")
        {
            error = "unsafe entry name";
            return false;
        }
    }
    // The native path of the folder reached so far, for the name cache that
    // case-insensitive lookups of this process use.
    std::string nativeFolder = mw::ResolvePath(folder);
    while (nativeFolder.size() > 1 && nativeFolder.back() == '/')
        nativeFolder.pop_back();
    Fd current(::open(nativeFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (current.Get() < 0)
    {
        error = "cannot open destination folder: " + std::string(std::strerror(errno));
        return false;
    }
    for (size_t i = 0; i + 1 < parts.size(); ++i)
    {
        std::string name = MatchNoCase(current.Get(), parts[i]);
        int next = ::openat(current.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0 && errno == ENOENT)
        {
            if (::mkdirat(current.Get(), name.c_str(), 0777) != 0 && errno != EEXIST)
            {
                error = "cannot create folder '" + name + "': " + std::strerror(errno);
                return false;
            }
            mw::FolderNameCache::Shared().NoteCreated(nativeFolder + "/" + name);
            next = ::openat(current.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (next < 0)
        {
            error = (errno == ELOOP || errno == ENOTDIR) ? "'" + name + "' is a link or a file, not a folder"
                                                         : "cannot open folder '" + name + "': " + std::strerror(errno);
            return false;
        }
        current.Reset(next);
        nativeFolder += "/" + name;
    }
    std::string fileName = MatchNoCase(current.Get(), parts.back());
    struct stat info;
    const bool existed = ::fstatat(current.Get(), fileName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (existed && !S_ISREG(info.st_mode))
    {
        error = "'" + fileName + "' exists and is not a plain file";
        return false;
    }
    std::string tempName;
    Fd file;
    for (int attempt = 0; attempt < 100 && file.Get() < 0; ++attempt)
    {
        tempName = mw::AtomicTempPrefix(fileName) + std::to_string(::getpid()) + "." + std::to_string(attempt);
        file.Reset(::openat(current.Get(), tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (file.Get() < 0 && errno != EEXIST)
            break;
    }
    if (file.Get() < 0)
    {
        error = "cannot create '" + fileName + "': " + std::strerror(errno);
        return false;
    }
    int64_t seconds = 0, nanoseconds = 0;
    mw::FileTimeToUnix(mw::FileTime{lastWrite}, seconds, nanoseconds);
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = time_t(seconds);
    times[0].tv_nsec = times[1].tv_nsec = long(nanoseconds);
    bool ok = WriteAll(file.Get(), bytes) && ::futimens(file.Get(), times) == 0;
    int savedErrno = errno;
    file.Reset(-1);
    if (ok && ::renameat(current.Get(), tempName.c_str(), current.Get(), fileName.c_str()) == 0)
    {
        if (!existed)
            mw::FolderNameCache::Shared().NoteCreated(nativeFolder + "/" + fileName);
        return true;
    }
    savedErrno = ok ? errno : savedErrno;
    ::unlinkat(current.Get(), tempName.c_str(), 0);
    error = "cannot write '" + fileName + "': " + std::strerror(savedErrno);
    return false;
}

} // namespace GAME
