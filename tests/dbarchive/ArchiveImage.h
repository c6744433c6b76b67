// An independent reader of archive files for tests: it parses the bytes by
// the documented layout without using the archive code under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mw::test {

struct ImageEntry
{
    uint32_t nameId;
    std::string className;
    uint32_t bodyOffset;
    uint32_t bodySize;
    uint32_t timeLow;
    uint32_t timeHigh;
};

struct ArchiveImage
{
    std::string bytes;
    uint32_t versionAndFlags = 0;
    uint32_t indexOffset = 0, indexSize = 0, recordCount = 0, stringTableOffset = 0, stringTableSize = 0;
    std::vector<ImageEntry> entries;
    std::vector<std::string> strings;
    uint32_t footer[4] = {0, 0, 0, 0};

    static uint32_t U32(const std::string& bytes, size_t at);
    // Parses bytes; false when the layout does not hold together.
    bool Parse(const std::string& image);
    std::string Body(const ImageEntry& entry) const { return bytes.substr(24 + entry.bodyOffset, entry.bodySize); }
    std::string Inflated(const ImageEntry& entry) const;
    const ImageEntry* FindByName(const std::string& name) const;
};

} // namespace mw::test
