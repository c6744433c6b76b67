// The database archive file check.
#include "DbArchiveFileCheck.h"

#include "dbarchive/ArchiveHeader.h"
#include "platform/PathRules.h"

#include <cstdint>

namespace mw {
namespace {

// The smallest record index entry: name id, class length, no class name,
// body offset, body size and the two halves of the file time.
constexpr uint64_t kSmallestIndexEntry = 24;

uint32_t ReadU32(const std::string& bytes, size_t at)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool Inside(uint64_t offset, uint64_t length, uint64_t size) { return offset <= size && length <= size - offset; }

} // namespace

std::string DbArchiveFileProblem(const std::string& bytes)
{
    if (bytes.size() < ArchiveHeader::kSize)
        return "too short";
    uint32_t version = ReadU32(bytes, 0) & 0xFFFF;
    if (version != ArchiveHeader::kVersion)
        return Format("version %u, expected %u", version, unsigned(ArchiveHeader::kVersion));
    uint32_t indexOffset = ReadU32(bytes, 4);
    uint32_t indexSize = ReadU32(bytes, 8);
    uint32_t recordCount = ReadU32(bytes, 12);
    uint32_t stringTableOffset = ReadU32(bytes, 16);
    uint32_t stringTableSize = ReadU32(bytes, 20);
    if (indexOffset < ArchiveHeader::kSize || !Inside(indexOffset, indexSize, bytes.size()))
        return "record index outside the file";
    if (stringTableSize != 0 &&
        (stringTableOffset < ArchiveHeader::kSize || !Inside(stringTableOffset, stringTableSize, bytes.size())))
        return "string table outside the file";
    if (uint64_t(recordCount) * kSmallestIndexEntry > indexSize)
        return Format("%u records do not fit a record index of %u bytes", recordCount, indexSize);
    return std::string();
}

} // namespace mw
