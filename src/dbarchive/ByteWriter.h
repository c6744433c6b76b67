// The sink that archive serialisation and record compilation write to: an
// open file, or a growing memory buffer. Integers are 4 little-endian bytes;
// a text is its u32 length followed by its bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace mw {

class ByteWriter
{
public:
    // Memory mode with the given initial capacity.
    explicit ByteWriter(size_t initialCapacity);
    // File mode: writes go to the open file, which the writer closes.
    explicit ByteWriter(std::FILE* file);
    ~ByteWriter();
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    bool WriteBytes(const void* bytes, size_t count);
    bool WriteBytes(std::string_view bytes) { return WriteBytes(bytes.data(), bytes.size()); }
    bool WriteUInt32(uint32_t value)
    {
        // The common case, a memory writer with room, without a call.
        if (m_file || m_failed || m_capacity - m_position < 4 || m_position > m_capacity)
            return WriteUInt32Slowly(value);
        char* out = m_buffer.get() + m_position;
        out[0] = char(value);
        out[1] = char(value >> 8);
        out[2] = char(value >> 16);
        out[3] = char(value >> 24);
        m_position += 4;
        if (m_position > m_size)
            m_size = m_position;
        return true;
    }
    bool WriteText(std::string_view text);
    bool Seek(size_t position);
    size_t Tell() const;

    // Memory mode: the bytes written so far.
    const char* Data() const { return m_buffer.get(); }
    size_t Size() const { return m_size; }
    size_t Capacity() const { return m_capacity; }
    // True once a write failed (the buffer could not grow or the file write failed).
    bool Failed() const { return m_failed; }
    // "Memory allocation of %dkb failed" after a failed growth, else empty.
    const std::string& FailureText() const { return m_failureText; }

private:
    bool Grow(size_t needed, size_t writeSize);
    bool WriteUInt32Slowly(uint32_t value);

    std::FILE* m_file = nullptr;
    std::unique_ptr<char[]> m_buffer;
    size_t m_position = 0;
    size_t m_size = 0;
    size_t m_capacity = 0;
    bool m_failed = false;
    std::string m_failureText;
};

} // namespace mw
