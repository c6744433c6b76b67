// POSIX memory mapping.
#include "MemoryMappedFile.h"

#include "../FileSystem.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace GAME {
namespace {
const char kEmpty[1] = {0};
}

MemoryMappedFile::~MemoryMappedFile()
{
    UnmapView(m_view, m_viewLength);
    if (m_fd >= 0)
        ::close(m_fd);
}

bool MemoryMappedFile::Open(const char* path)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = ::open(mw::ResolvePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    struct stat info;
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_length = size_t(info.st_size);
    return true;
}

const void* MemoryMappedFile::MapView(size_t offset, size_t length)
{
    if (m_fd < 0 || offset != 0 || length > m_length)
        return nullptr;
    if (length == 0)
        return kEmpty;
    void* view = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, m_fd, 0);
    if (view == MAP_FAILED)
        return nullptr;
    UnmapView(m_view, m_viewLength);
    m_view = view;
    m_viewLength = length;
    return view;
}

void MemoryMappedFile::UnmapView(const void* view, size_t)
{
    if (view && view == m_view)
    {
        ::munmap(m_view, m_viewLength);
        m_view = nullptr;
        m_viewLength = 0;
    }
}

} // namespace GAME
