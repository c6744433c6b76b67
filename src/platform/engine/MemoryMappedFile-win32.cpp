// Windows memory mapping: a file mapping object over the open file. The
// open file is kept as a C runtime descriptor wrapping its handle.
#include "MemoryMappedFile.h"

#include "../WideText-win32.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace GAME {
namespace {
const char kEmpty[1] = {0};

HANDLE FileHandle(int fd) { return reinterpret_cast<HANDLE>(::_get_osfhandle(fd)); }
} // namespace

MemoryMappedFile::~MemoryMappedFile()
{
    UnmapView(m_view, m_viewLength);
    if (m_fd >= 0)
        ::_close(m_fd);
}

bool MemoryMappedFile::Open(const char* path)
{
    if (m_fd >= 0)
        ::_close(m_fd);
    m_fd = -1;
    HANDLE file = ::CreateFileW(mw::NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        mw::NoteLastError();
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    {
        ::CloseHandle(file);
        return false;
    }
    m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY);
    if (m_fd < 0)
    {
        ::CloseHandle(file);
        return false;
    }
    m_length = size_t((uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow);
    return true;
}

const void* MemoryMappedFile::MapView(size_t offset, size_t length)
{
    if (m_fd < 0 || offset != 0 || length > m_length)
        return nullptr;
    if (length == 0)
        return kEmpty;
    HANDLE mapping = ::CreateFileMappingW(FileHandle(m_fd), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping)
    {
        mw::NoteLastError();
        return nullptr;
    }
    // The view keeps the mapping alive after its handle is closed.
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, length);
    ::CloseHandle(mapping);
    if (!view)
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
        ::UnmapViewOfFile(m_view);
        m_view = nullptr;
        m_viewLength = 0;
    }
}

} // namespace GAME
