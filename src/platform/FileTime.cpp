// Conversion between the OS's nanosecond times and FILETIME values.
#include "FileTime.h"

namespace mw {

FileTime FileTimeFromUnix(int64_t seconds, int64_t nanoseconds)
{
    int64_t ticks = (seconds + kFileTimeEpochOffsetSeconds) * 10000000LL + nanoseconds / 100;
    return FileTime{ticks < 0 ? 0 : uint64_t(ticks)};
}

void FileTimeToUnix(FileTime time, int64_t& seconds, int64_t& nanoseconds)
{
    int64_t ticks = int64_t(time.value);
    seconds = ticks / 10000000LL - kFileTimeEpochOffsetSeconds;
    nanoseconds = (ticks % 10000000LL) * 100;
}

} // namespace mw
