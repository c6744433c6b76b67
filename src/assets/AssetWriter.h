// Collects the bytes of an asset file in memory, so that the file can be
// written in one atomic replace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

class AssetWriter
{
public:
    void WriteByte(uint8_t value) { m_bytes.push_back(char(value)); }
    void WriteUInt16(uint16_t value);
    void WriteUInt32(uint32_t value);
    void WriteBytes(std::string_view bytes) { m_bytes.append(bytes); }
    void WriteFlag(bool value) { WriteByte(value ? 1 : 0); }
    // A 32-bit byte count and the bytes, no terminator.
    void WriteBodyString(std::string_view text);
    // The archive string form (see AssetReader::ReadArchiveString), always
    // with 8-bit characters.
    void WriteArchiveString(std::string_view text);

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};

} // namespace mw
