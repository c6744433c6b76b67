// The 16-byte footer: four Adler-32 values, of everything before the footer,
// of the string table, of the record bodies, and of the record index.
#pragma once

#include <cstdint>

namespace mw {

struct ArchiveChecksums
{
    static constexpr uint32_t kSize = 16;

    uint32_t wholeFile = 0;
    uint32_t stringTable = 0;
    uint32_t recordBodies = 0;
    uint32_t recordIndex = 0;
};

} // namespace mw
