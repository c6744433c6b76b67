// Spares of large built files (see SpareFiles-posix.h).
#include "SpareFiles-posix.h"

#include "PathRules.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>
#include <vector>

namespace mw {
namespace {

class KeptSpares
{
public:
    ~KeptSpares() { RemoveAll(); }

    void Add(const std::string& spare)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (std::find(m_names.begin(), m_names.end(), spare) == m_names.end())
            m_names.push_back(spare);
    }

    void RemoveAll()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A forked child that ends leaves its parent's spares alone.
        if (::getpid() == m_owner)
            for (const std::string& name : m_names)
                ::unlink(name.c_str());
        m_names.clear();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_names;
    pid_t m_owner = ::getpid();
};

KeptSpares& Kept()
{
    static KeptSpares kept;
    return kept;
}

} // namespace

std::string SpareFileName(const std::string& nativePath)
{
    size_t slash = nativePath.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : nativePath.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? nativePath : nativePath.substr(slash + 1);
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
    return folder + AtomicTempPrefix(name) + "spare" + extension;
}

int OpenReusableSpare(const std::string& spare, const struct stat& file)
{
    // Only a regular file is opened at all (a planted device or pipe is
    // not), without blocking on a lease someone else holds; a link is never
    // followed.
    struct stat named;
    if (::lstat(spare.c_str(), &named) != 0 || !S_ISREG(named.st_mode))
        return -1;
    int fd = ::open(spare.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    bool usable = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1 &&
                  info.st_dev == file.st_dev && info.st_uid == ::geteuid();
#if defined(F_SETLEASE) && defined(F_SETSIG)
    // A write lease is granted only while no other descriptor or mapping of
    // the file exists anywhere: someone who opened this version before it
    // was replaced still reads it, and it must not change under them. The
    // lease is given back at once. Should another program open the file in
    // between, the system tells the holder with a signal, by default one
    // that ends it: the one asked for instead is ignored unless handled.
    usable = usable && ::fcntl(fd, F_SETSIG, SIGURG) == 0 && ::fcntl(fd, F_SETLEASE, F_WRLCK) == 0;
    if (usable)
        (void)::fcntl(fd, F_SETLEASE, F_UNLCK);
#else
    usable = false;
#endif
    if (!usable)
    {
        ::close(fd);
        return -1;
    }
    return fd;
}

void KeepSpare(const std::string& spare) { Kept().Add(spare); }

void RemoveKeptSpares() { Kept().RemoveAll(); }

} // namespace mw
