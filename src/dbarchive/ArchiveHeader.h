// The 24-byte header at the start of a database archive. All integers are
// little-endian; there is no padding anywhere in the file.
//
//   0  u16 version            4
//   2  u16 flags              bit 0: bodies are zlib streams; bit 1: checksum footer
//   4  u32 indexOffset        24 + total size of the record bodies
//   8  u32 indexSize
//  12  u32 recordCount
//  16  u32 stringTableOffset
//  20  u32 stringTableSize
#pragma once

#include <cstdint>

namespace mw {

struct ArchiveHeader
{
    static constexpr uint32_t kSize = 24;
    static constexpr uint16_t kVersion = 4;
    static constexpr uint16_t kFlagCompressed = 1;
    static constexpr uint16_t kFlagChecksums = 2;

    uint16_t version = 0;
    uint16_t flags = 0;
    uint32_t indexOffset = 0;
    uint32_t indexSize = 0;
    uint32_t recordCount = 0;
    uint32_t stringTableOffset = 0;
    uint32_t stringTableSize = 0;
};

} // namespace mw
