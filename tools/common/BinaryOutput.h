// Builds the little-endian binary outputs of the compilers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace mw::tools {

class BinaryOutput
{
public:
    void Bytes(std::string_view bytes) { m_bytes += bytes; }
    void U8(uint8_t value) { m_bytes += char(value); }
    void U16(uint16_t value) { Little(value, 2); }
    void I16(int16_t value) { Little(uint16_t(value), 2); }
    void U32(uint32_t value) { Little(value, 4); }
    void I32(int32_t value) { Little(uint32_t(value), 4); }
    void F32(float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, 4);
        Little(bits, 4);
    }
    // A u16 byte count and the bytes. A longer text cannot be stored: it is
    // left out and remembered, and the output must not be written (see
    // TooLongText), since a cut name would name something else.
    void String(std::string_view text)
    {
        if (text.size() > kMaxStringLength)
        {
            if (!m_tooLong)
                for (char c : text.substr(0, 40))
                    m_tooLongText += (unsigned char)c < 0x20 ? '?' : c;
            m_tooLong = true;
            return;
        }
        U16(uint16_t(text.size()));
        m_bytes += text;
    }
    const std::string& Data() const { return m_bytes; }
    // Whether a text was refused, and its first bytes.
    bool HasTooLongText() const { return m_tooLong; }
    const std::string& TooLongText() const { return m_tooLongText; }

    static constexpr size_t kMaxStringLength = 0xFFFF;

private:
    void Little(uint64_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            m_bytes += char((value >> (8 * i)) & 0xFF);
    }

    std::string m_bytes;
    bool m_tooLong = false;
    std::string m_tooLongText;
};

} // namespace mw::tools
