// One entry of the record index:
//   u32 nameId, u32 classLength, classLength bytes of class name,
//   u32 bodyOffset (from the end of the header), u32 bodySize (stored size),
//   u32 fileTimeLow, u32 fileTimeHigh (the source record's FILETIME).
#pragma once

#include <cstdint>
#include <string>

namespace mw {

struct RecordEntry
{
    uint32_t nameId = 0;
    std::string className;
    uint32_t bodyOffset = 0;
    uint32_t bodySize = 0;
    uint32_t fileTimeLow = 0;
    uint32_t fileTimeHigh = 0;
};

} // namespace mw
