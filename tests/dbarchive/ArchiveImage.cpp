// The independent archive reader for tests.
#include "ArchiveImage.h"

#include <zlib.h>

namespace mw::test {

uint32_t ArchiveImage::U32(const std::string& bytes, size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool ArchiveImage::Parse(const std::string& image)
{
    bytes = image;
    if (bytes.size() < 24 + 16)
        return false;
    versionAndFlags = U32(bytes, 0);
    indexOffset = U32(bytes, 4);
    indexSize = U32(bytes, 8);
    recordCount = U32(bytes, 12);
    stringTableOffset = U32(bytes, 16);
    stringTableSize = U32(bytes, 20);
    size_t at = indexOffset;
    for (uint32_t i = 0; i < recordCount; ++i)
    {
        ImageEntry entry;
        entry.nameId = U32(bytes, at);
        uint32_t classLength = U32(bytes, at + 4);
        entry.className = bytes.substr(at + 8, classLength);
        at += 8 + classLength;
        entry.bodyOffset = U32(bytes, at);
        entry.bodySize = U32(bytes, at + 4);
        entry.timeLow = U32(bytes, at + 8);
        entry.timeHigh = U32(bytes, at + 12);
        at += 16;
        entries.push_back(entry);
    }
    if (at != size_t(indexOffset) + indexSize)
        return false;
    at = stringTableOffset;
    uint32_t count = U32(bytes, at);
    at += 4;
    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t length = U32(bytes, at);
        strings.push_back(bytes.substr(at + 4, length));
        at += 4 + length;
    }
    if (at != size_t(stringTableOffset) + stringTableSize || at + 16 != bytes.size())
        return false;
    for (int i = 0; i < 4; ++i)
        footer[i] = U32(bytes, at + 4 * size_t(i));
    return true;
}

std::string ArchiveImage::Inflated(const ImageEntry& entry) const
{
    std::string compressed = Body(entry);
    std::string out(4 * 1024 * 1024, '\0');
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(compressed.data()),
                   uLong(compressed.size())) != Z_OK)
        return "<inflate failed>";
    out.resize(size);
    return out;
}

const ImageEntry* ArchiveImage::FindByName(const std::string& name) const
{
    for (const ImageEntry& entry : entries)
        if (entry.nameId < strings.size() && strings[entry.nameId] == name)
            return &entry;
    return nullptr;
}

} // namespace mw::test
