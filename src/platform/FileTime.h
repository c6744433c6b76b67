// Windows FILETIME values (100 ns intervals since 1601-01-01 UTC), the unit
// in which the tool compares and stores last-write times.
#pragma once

#include <cstdint>

namespace mw {

struct FileTime
{
    uint64_t value = 0;

    uint32_t Low() const { return uint32_t(value & 0xFFFFFFFFu); }
    uint32_t High() const { return uint32_t(value >> 32); }
    static FileTime FromParts(uint32_t low, uint32_t high) { return FileTime{(uint64_t(high) << 32) | low}; }

    friend bool operator==(FileTime a, FileTime b) { return a.value == b.value; }
    friend bool operator<(FileTime a, FileTime b) { return a.value < b.value; }
    friend bool operator>(FileTime a, FileTime b) { return a.value > b.value; }
};

// Seconds between 1601-01-01 and 1970-01-01.
constexpr int64_t kFileTimeEpochOffsetSeconds = 11644473600LL;

FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);
void FileTimeToUnix(FileTime time, int64_t& seconds, int64_t& nanoseconds);

} // namespace mw
