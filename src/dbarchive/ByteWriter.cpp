// The byte writer.
#include "ByteWriter.h"

#include "platform/PathRules.h"

#include <cstring>
#include <new>

namespace mw {

ByteWriter::ByteWriter(size_t initialCapacity)
{
    m_buffer.reset(new (std::nothrow) char[initialCapacity ? initialCapacity : 1]);
    if (m_buffer)
        m_capacity = initialCapacity;
    else
    {
        m_failed = true;
        m_failureText = Format("Memory allocation of %dkb failed", int(initialCapacity / 1024));
    }
}

ByteWriter::ByteWriter(std::FILE* file) : m_file(file) {}

ByteWriter::~ByteWriter()
{
    if (m_file)
        std::fclose(m_file);
}

bool ByteWriter::Grow(size_t needed, size_t writeSize)
{
    // The capacity grows by ten times the write, or to what is needed when more.
    size_t capacity = m_capacity + 10 * writeSize;
    if (capacity < needed)
        capacity = needed;
    std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity]);
    if (!bigger)
    {
        m_failed = true;
        m_failureText = Format("Memory allocation of %dkb failed", int(capacity / 1024));
        return false;
    }
    if (m_size)
        std::memcpy(bigger.get(), m_buffer.get(), m_capacity < m_size ? m_capacity : m_size);
    m_buffer = std::move(bigger);
    m_capacity = capacity;
    return true;
}

bool ByteWriter::WriteBytes(const void* bytes, size_t count)
{
    if (m_failed)
        return false;
    if (m_file)
    {
        if (count && std::fwrite(bytes, 1, count, m_file) != count)
            m_failed = true;
        return !m_failed;
    }
    size_t end = m_position + count;
    if (end > m_capacity && !Grow(end, count))
        return false;
    if (end >= m_size)
        m_size = end;
    if (count)
        std::memcpy(m_buffer.get() + m_position, bytes, count);
    m_position = end;
    return true;
}

bool ByteWriter::WriteUInt32Slowly(uint32_t value)
{
    unsigned char bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
    return WriteBytes(bytes, 4);
}

bool ByteWriter::WriteText(std::string_view text)
{
    return WriteUInt32(uint32_t(text.size())) && WriteBytes(text.data(), text.size());
}

bool ByteWriter::Seek(size_t position)
{
    if (m_file)
        return std::fseek(m_file, long(position), SEEK_SET) == 0;
    m_position = position;
    return true;
}

size_t ByteWriter::Tell() const
{
    if (m_file)
        return size_t(std::ftell(m_file));
    return m_position;
}

} // namespace mw
