// A read cursor over bytes that the caller keeps alive.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace GAME {

class BinaryReader
{
public:
    BinaryReader(const void* bytes, size_t size) : m_bytes(static_cast<const unsigned char*>(bytes)), m_size(size) {}

    size_t Position() const { return m_position; }
    size_t Remaining() const { return m_size - m_position; }
    bool AtEnd() const { return m_position >= m_size; }

    // Reads a little-endian u32; false (and nothing read) past the end.
    bool ReadUInt32(uint32_t& value)
    {
        if (Remaining() < 4)
            return false;
        const unsigned char* p = m_bytes + m_position;
        value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        m_position += 4;
        return true;
    }

    bool ReadBytes(size_t count, std::string_view& bytes)
    {
        if (Remaining() < count)
            return false;
        bytes = std::string_view(reinterpret_cast<const char*>(m_bytes + m_position), count);
        m_position += count;
        return true;
    }

private:
    const unsigned char* m_bytes;
    size_t m_size;
    size_t m_position = 0;
};

} // namespace GAME
