// Little-endian writes of asset file bytes.
#include "AssetWriter.h"

namespace mw {

void AssetWriter::WriteUInt16(uint16_t value)
{
    WriteByte(uint8_t(value));
    WriteByte(uint8_t(value >> 8));
}

void AssetWriter::WriteUInt32(uint32_t value)
{
    WriteUInt16(uint16_t(value));
    WriteUInt16(uint16_t(value >> 16));
}

void AssetWriter::WriteBodyString(std::string_view text)
{
    WriteUInt32(uint32_t(text.size()));
    WriteBytes(text);
}

void AssetWriter::WriteArchiveString(std::string_view text)
{
    if (text.size() < 0xFF)
        WriteByte(uint8_t(text.size()));
    else if (text.size() < 0xFFFE)
    {
        WriteByte(0xFF);
        WriteUInt16(uint16_t(text.size()));
    }
    else
    {
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(uint32_t(text.size()));
    }
    WriteBytes(text);
}

} // namespace mw
