// A read cursor over the bytes of an asset file. Every read checks the bytes
// that are left first, so a short or corrupt file fails the read instead of
// being read past its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

class AssetReader
{
public:
    explicit AssetReader(std::string_view bytes) : m_bytes(bytes) {}

    size_t Position() const { return m_position; }
    size_t Remaining() const { return m_bytes.size() - m_position; }

    bool ReadByte(uint8_t& value);
    bool ReadUInt16(uint16_t& value);
    bool ReadUInt32(uint32_t& value);
    bool ReadBytes(size_t count, std::string& bytes);
    // A flag byte; any non-zero byte reads as set.
    bool ReadFlag(bool& value);

    // A body string: a 32-bit byte count and the bytes, taken up to the first
    // zero byte when one is among them.
    bool ReadBodyString(std::string& text);

    // The archive string form of the review header: a length of one byte
    // (below 255), or 0xFF and a 16-bit length (below 0xFFFE), or 0xFF, 0xFFFF
    // and a 32-bit length. 0xFF followed by 0xFFFE announces 16-bit
    // characters; they are narrowed to 8 bits ('?' for what does not fit).
    bool ReadArchiveString(std::string& text);

private:
    bool ReadArchiveLength(uint32_t& length, bool& wide);

    std::string_view m_bytes;
    size_t m_position = 0;
};

} // namespace mw
