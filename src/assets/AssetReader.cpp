// Bounded reads of asset file bytes.
#include "AssetReader.h"

namespace mw {

bool AssetReader::ReadByte(uint8_t& value)
{
    if (Remaining() < 1)
        return false;
    value = uint8_t(m_bytes[m_position++]);
    return true;
}

bool AssetReader::ReadUInt16(uint16_t& value)
{
    if (Remaining() < 2)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.data() + m_position);
    value = uint16_t(p[0] | p[1] << 8);
    m_position += 2;
    return true;
}

bool AssetReader::ReadUInt32(uint32_t& value)
{
    if (Remaining() < 4)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(m_bytes.data() + m_position);
    value = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    m_position += 4;
    return true;
}

bool AssetReader::ReadBytes(size_t count, std::string& bytes)
{
    if (Remaining() < count)
        return false;
    bytes.assign(m_bytes.substr(m_position, count));
    m_position += count;
    return true;
}

bool AssetReader::ReadFlag(bool& value)
{
    uint8_t byte = 0;
    if (!ReadByte(byte))
        return false;
    value = byte != 0;
    return true;
}

bool AssetReader::ReadBodyString(std::string& text)
{
    uint32_t length = 0;
    if (!ReadUInt32(length) || !ReadBytes(length, text))
        return false;
    size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return true;
}

bool AssetReader::ReadArchiveLength(uint32_t& length, bool& wide)
{
    uint8_t first = 0;
    if (!ReadByte(first))
        return false;
    if (first < 0xFF)
    {
        length = first;
        return true;
    }
    uint16_t second = 0;
    if (!ReadUInt16(second))
        return false;
    if (second == 0xFFFE)
    {
        // The marker of 16-bit characters comes once, before the real length.
        if (wide)
            return false;
        wide = true;
        return ReadArchiveLength(length, wide);
    }
    if (second < 0xFFFF)
    {
        length = second;
        return true;
    }
    return ReadUInt32(length);
}

bool AssetReader::ReadArchiveString(std::string& text)
{
    uint32_t length = 0;
    bool wide = false;
    if (!ReadArchiveLength(length, wide))
        return false;
    if (!wide)
        return ReadBytes(length, text);
    if (Remaining() / 2 < length)
        return false;
    text.clear();
    text.reserve(length);
    for (uint32_t i = 0; i < length; ++i)
    {
        uint16_t unit = 0;
        ReadUInt16(unit);
        text.push_back(unit < 0x100 ? char(unit) : '?');
    }
    return true;
}

} // namespace mw
