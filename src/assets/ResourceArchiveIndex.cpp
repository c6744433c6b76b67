// Reading the header and entry table of a resource archive.
#include "ResourceArchiveIndex.h"

#include "platform/FileSystem.h"
#include "platform/PathRules.h"

#include <cstring>
#include <zlib.h>

namespace mw {
namespace {

// Header: "MWRA", u32 version 1, u32 entry count, u32 table bytes, u64 table
// offset, u32 Adler-32 of the table, u32 reserved. Table records: u16 name
// length, name, u64 data offset, u32 stored size, u32 size, u32 checksum,
// u64 time, u8 method.
constexpr size_t kHeaderSize = 32;
constexpr size_t kFixedRecordSize = 2 + 8 + 4 + 4 + 4 + 8 + 1;
constexpr uint32_t kMaxEntries = 1000000;

class Cursor
{
public:
    explicit Cursor(const std::string& bytes) : m_bytes(bytes) {}

    template <typename T> bool Read(T& value)
    {
        if (m_bytes.size() - m_at < sizeof(T))
            return false;
        value = 0;
        for (size_t i = 0; i < sizeof(T); ++i)
            value |= T(uint8_t(m_bytes[m_at + i])) << (8 * i);
        m_at += sizeof(T);
        return true;
    }
    bool Skip(size_t count)
    {
        if (m_bytes.size() - m_at < count)
            return false;
        m_at += count;
        return true;
    }
    size_t At() const { return m_at; }
    size_t Remaining() const { return m_bytes.size() - m_at; }

private:
    const std::string& m_bytes;
    size_t m_at = 0;
};

} // namespace

bool ReadResourceArchiveIndex(const std::string& archivePath, std::unordered_map<std::string, ArchivedFile>& files)
{
    files.clear();
    std::string header;
    FileInfo info;
    if (!GetFileInfo(archivePath, info) || info.isFolder || !ReadFileRange(archivePath, 0, kHeaderSize, header) ||
        header.size() != kHeaderSize || std::memcmp(header.data(), "MWRA", 4) != 0)
        return false;
    Cursor fields(header);
    uint32_t version = 0, count = 0, tableSize = 0, tableChecksum = 0, reserved = 0;
    uint64_t tableOffset = 0;
    fields.Skip(4);
    fields.Read(version);
    fields.Read(count);
    fields.Read(tableSize);
    fields.Read(tableOffset);
    fields.Read(tableChecksum);
    fields.Read(reserved);
    if (version != 1 || reserved != 0 || count > kMaxEntries || tableOffset < kHeaderSize ||
        tableOffset > info.size || info.size - tableOffset != tableSize ||
        uint64_t(count) * (kFixedRecordSize + 1) > tableSize)
        return false;
    std::string table;
    if (!ReadFileRange(archivePath, tableOffset, tableSize, table) || table.size() != tableSize)
        return false;
    if (uint32_t(adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(table.data()), uInt(table.size()))) !=
        tableChecksum)
        return false;
    Cursor cursor(table);
    for (uint32_t i = 0; i < count; ++i)
    {
        uint16_t nameLength = 0;
        uint64_t offset = 0, time = 0;
        uint32_t storedSize = 0, size = 0, checksum = 0;
        uint8_t method = 0;
        if (!cursor.Read(nameLength) || nameLength == 0 || cursor.Remaining() < nameLength)
        {
            files.clear();
            return false;
        }
        std::string name = table.substr(cursor.At(), nameLength);
        cursor.Skip(nameLength);
        if (!cursor.Read(offset) || !cursor.Read(storedSize) || !cursor.Read(size) || !cursor.Read(checksum) ||
            !cursor.Read(time) || !cursor.Read(method))
        {
            files.clear();
            return false;
        }
        files[ToLowerAscii(name)] = ArchivedFile{size, time, name};
    }
    if (cursor.Remaining() != 0)
    {
        files.clear();
        return false;
    }
    return true;
}

} // namespace mw
