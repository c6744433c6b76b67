// A read-only memory mapping of a whole file.
#pragma once

#include <cstddef>
#include <string>

namespace GAME {

class MemoryMappedFile
{
public:
    MemoryMappedFile() = default;
    ~MemoryMappedFile();
    MemoryMappedFile(const MemoryMappedFile&) = delete;
    MemoryMappedFile& operator=(const MemoryMappedFile&) = delete;

    bool Open(const char* path);
    size_t GetLength() const { return m_length; }
    // Maps the file from offset 0; null on failure. An empty file maps to a
    // non-null pointer of length 0.
    const void* MapView(size_t offset, size_t length);
    void UnmapView(const void* view, size_t length);

private:
    int m_fd = -1;
    size_t m_length = 0;
    void* m_view = nullptr;
    size_t m_viewLength = 0;
};

} // namespace GAME
