// One build cache entry as it is stored: a short text header with the
// payload's size, its SHA-256 and the compiler's exit code, then the payload
// (the compiled output's bytes).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

struct CacheEntry
{
    std::string payload;
    uint32_t exitCode = 0;
};

// "MWCACHE 1\nsize N\nsha256 HEX\nexit N\n\n" followed by the payload.
std::string EncodeCacheEntry(std::string_view payload, uint32_t exitCode);
// False, with the reason in problem, when the header is malformed, the
// payload is shorter or longer than its size or its hash differs: a
// truncated or damaged entry is never taken for an output.
bool DecodeCacheEntry(std::string_view bytes, CacheEntry& entry, std::string& problem);

} // namespace mw
