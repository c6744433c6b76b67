// The entry table of a resource archive, read without the entries' data:
// enough to tell which files an archive holds, at which size and time.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace mw {

struct ArchivedFile
{
    uint64_t size = 0;
    uint64_t time = 0; // last-write time, 100 ns units since 1601
    std::string name;  // as stored
};

// The archive's entries by lower-cased name ('/' separators). False when
// the file cannot be read or its header or table does not hold together;
// files is then empty.
bool ReadResourceArchiveIndex(const std::string& archivePath, std::unordered_map<std::string, ArchivedFile>& files);

} // namespace mw
