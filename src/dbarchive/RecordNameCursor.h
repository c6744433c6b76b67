// Finds the string ids of record names asked for in about the order the
// archive's main table holds them. A compile walks the records in the order
// the last compile saved them, so the next name asked for is nearly always
// the next entry's: comparing it with that entry's name spares a lookup in
// the string table, whose slots and bytes lie far apart in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace mw {

class DbArchive;

class RecordNameCursor
{
public:
    explicit RecordNameCursor(const DbArchive& archive) : m_archive(archive) {}

    // The name's id in the archive's strings, as StringMap::Find gives it.
    std::optional<uint32_t> Find(std::string_view name);

private:
    const DbArchive& m_archive;
    size_t m_next = 0; // the entry expected next
};

} // namespace mw
